#pragma once
// A real browser view with its bridge, showing a page written into a temporary program folder.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QUrl>
#include <QWebEngineView>

#include <memory>
#include <string>

#include "map/browser_bridge.h"
#include "map/web_profile_qt.h"
#include "support/temp_program_folder.h"

namespace tolvex::test {

// Lets the event loop run for about ms milliseconds.
inline void pump_events(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// Waits for the bridge's next loaded() signal; the result is its ok, or false on timeout.
inline bool wait_for_loaded(BrowserBridge& bridge, int timeout_ms = 20000) {
  QEventLoop loop;
  bool ok = false;
  bool came = false;
  auto c = QObject::connect(&bridge, &BrowserBridge::loaded, &loop, [&](bool result) {
    ok = result;
    came = true;
    loop.quit();
  });
  QTimer::singleShot(timeout_ms, &loop, &QEventLoop::quit);
  loop.exec();
  QObject::disconnect(c);
  return came && ok;
}

class PageHarness {
 public:
  PageHarness() : view_(std::make_unique<QWebEngineView>()) {
    set_remote_requests_blocked(true);  // tests never reach the network
    configure_view(view_.get());
    bridge_ = new BrowserBridge(view_.get());
    view_->resize(800, 600);
    view_->show();
  }

  TempProgramFolder& folder() { return folder_; }
  BrowserBridge& bridge() { return *bridge_; }
  QWebEngineView& view() { return *view_; }

  // Writes `html` as file_name in the program folder, loads it, waits for it.
  bool load(const std::string& html, const std::string& file_name = "page.html") {
    folder_.write(file_name, html);
    bridge_->load_page(QUrl::fromLocalFile(QString::fromStdString(folder_.file(file_name))));
    return wait_for_loaded(*bridge_);
  }

  // Polls a script expression until it is true (the page's own asynchronous work).
  bool wait_until(const QString& expression, int timeout_ms = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeout_ms) {
      if (bridge_->evaluate(QStringLiteral("!!(") + expression + QStringLiteral(")")).toBool()) return true;
      pump_events(50);
    }
    return false;
  }

  QVariant eval(const QString& expression) { return bridge_->evaluate(expression); }

 private:
  TempProgramFolder folder_;
  std::unique_ptr<QWebEngineView> view_;
  BrowserBridge* bridge_ = nullptr;
};

}  // namespace tolvex::test

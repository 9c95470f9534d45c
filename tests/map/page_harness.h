#pragma once
// A real browser view with its bridge, showing our pages with the page files of a temporary
// program folder.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QUrl>
#include <QWebEngineView>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "map/browser_bridge.h"
#include "map/map_page_builder.h"
#include "map/web_profile_qt.h"
#include "support/temp_program_folder.h"

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace tolvex::test {

// Lets the event loop run for about ms milliseconds.
inline void pump_events(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// Lets events run until `condition` holds; false when it still does not after timeout_ms.
inline bool wait_for(const std::function<bool()>& condition, int timeout_ms = 10000) {
  QElapsedTimer clock;
  clock.start();
  while (!condition()) {
    if (clock.elapsed() > timeout_ms) return false;
    pump_events(20);
  }
  return true;
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

// The map page of the keyless provider around (lat, lon) with the aircraft heading `heading`,
// gliding between samples when `suave`.
// Tile addresses point at a closed local port: no test reaches a map server.
inline std::string map_page_html(double lat, double lon, int heading, const std::string& puntos_vfr = "",
                                 bool suave = false) {
  MapPageInputs in;
  in.suave = suave;
  in.latitud = lat;
  in.longitud = lon;
  in.heading = heading;
  in.puntos_vfr = puntos_vfr;
  in.maps.proveedor = "osm";
  const std::string no_tiles = "http://127.0.0.1:9/{z}/{x}/{y}.png";
  in.maps.teselas_normal = in.maps.teselas_satelite = in.maps.teselas_hibrido = in.maps.teselas_relieve = no_tiles;
  in.maps.marca_naranja = "mm_20_orange.png";
  in.maps.marca_azul = "mm_20_blue.png";
  in.maps.marca_roja = "mm_20_red.png";
  return build_map_page(in);
}

// The test environment should name the program folder and quiet the browser; when the test
// runs without it (a bare run, or a runner that dropped it), fall back to the build's values.
inline bool ensure_test_environment() {
#ifdef TOLVEX_BUILT_PROGRAM_DIR
  if (qgetenv("TOLVEX_PROGRAM_DIR").isEmpty()) qputenv("TOLVEX_PROGRAM_DIR", TOLVEX_BUILT_PROGRAM_DIR);
#endif
  if (qgetenv("QTWEBENGINE_CHROMIUM_FLAGS").isEmpty())
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-background-networking --disable-component-update --no-first-run");
  return true;
}

class PageHarness {
 public:
  PageHarness() : ready_(ensure_test_environment()), view_(std::make_unique<QWebEngineView>()) {
    set_remote_requests_blocked(true);  // tests never reach the network
    configure_view(view_.get());
    bridge_ = new BrowserBridge(view_.get());
    view_->resize(800, 600);
    view_->show();
  }

  TempProgramFolder& folder() { return folder_; }
  BrowserBridge& bridge() { return *bridge_; }
  QWebEngineView& view() { return *view_; }

  // Shows `html` as our page file_name, its page files from the program folder; waits for it.
  bool load(const std::string& html, const std::string& file_name = "page.html") {
    bridge_->show_page(file_name, html, folder_.qpath());
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
  bool ready_;
  TempProgramFolder folder_;
  std::unique_ptr<QWebEngineView> view_;
  BrowserBridge* bridge_ = nullptr;
};

}  // namespace tolvex::test

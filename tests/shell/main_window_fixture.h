#pragma once
// A main window on a temporary program folder that holds only the pilot's data (the page files
// come from the built program folder, as from the executable's), with messages captured instead
// of modal boxes and the network closed (tiles fail at once, as offline).
#include <QApplication>
#include <QSignalSpy>
#include <QTest>
#include <QLabel>
#include <QToolButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/config_window.h"
#include "map/browser_bridge.h"
#include "map/web_profile_qt.h"
#include "shell/main_window.h"
#include "shell/tolvex_application.h"
#include "support/temp_program_folder.h"

namespace tolvex::test {

// Whether `expected` occur in `log` in this order, with anything between them.
inline bool contains_in_order(const std::vector<std::string>& log, const std::vector<std::string>& expected) {
  auto it = log.begin();
  for (const std::string& e : expected) {
    it = std::find(it, log.end(), e);
    if (it == log.end()) return false;
    ++it;
  }
  return true;
}

// Runs `act` on the configuration window once configurarClick has shown it.
inline void run_on_config_window(MainWindow& window, const std::function<void(ConfigWindow&)>& act) {
  bool ran = false;
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = qobject_cast<ConfigWindow*>(QApplication::activeModalWidget());
    if (ran || !dialog || !dialog->isVisible()) return;
    ran = true;
    poll.stop();
    act(*dialog);
  });
  poll.start();
  window.configurarClick();
  EXPECT_TRUE(ran) << "the configuration window never showed";
}

inline std::string default_config(const std::string& extra_inicio = "", const std::string& extra = "") {
  return "[INICIO]\r\nDEBUG=S\r\nTIPOCONEXION=I\r\n" + extra_inicio + extra;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    set_remote_requests_blocked(true);
    BrowserBridge::set_statement_observer([this](const QString& s) { statements.push_back(s.toStdString()); });
  }
  void TearDown() override {
    BrowserBridge::set_statement_observer(nullptr);
    if (window) {
      window->close();
      window.reset();
    }
    QApplication::processEvents();
  }

  // Starts the window and waits for its first blank page.
  void start(const std::string& config, MainWindowOptions options = {}) {
    if (!config.empty()) folder.write("CONFIG.INI", config);
    options.folder = folder.qpath();
    if (options.page_files_folder.isEmpty()) options.page_files_folder = built_program_folder();
    options.register_hot_key = hot_key;
    if (!options.version) options.version = std::make_pair(1, 0);
    window = std::make_unique<MainWindow>(options);
    window->message_hook = [this](const QString& text) { messages.push_back(text.toStdString()); };
    if (auto* app = dynamic_cast<TolvexApplication*>(QApplication::instance()))
      app->set_error_handler([this](const QString& text) { window->ApplicationEvents1Exception(text); });
    QSignalSpy loaded(window.get(), &MainWindow::map_page_loaded);
    window->show();
    ASSERT_TRUE(loaded.wait(15000)) << "the first blank page never loaded";
    statements.clear();
  }

  // Waits for the next page load of the window.
  bool wait_page(int ms = 15000) {
    QSignalSpy loaded(window.get(), &MainWindow::map_page_loaded);
    return loaded.wait(ms);
  }

  std::vector<std::string> log_lines() const {
    std::vector<std::string> lines;
    const std::string text = folder.read("tolvex.log");
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find("\r\n", start);
      if (end == std::string::npos) end = text.size();
      const std::string line = text.substr(start, end - start);
      const size_t dash = line.find(" - ");
      lines.push_back(dash == std::string::npos ? line : line.substr(dash + 3));
      start = end + 2;
    }
    return lines;
  }

  std::vector<std::string> visible_buttons() const {
    std::vector<std::string> names;
    for (QToolButton* b : {window->conexion, window->actualizar, window->cambiar, window->bpuntosvfr, window->zoomin,
                           window->zoomout, window->bruta, window->bespacios, window->mapnormal, window->mapsatelite, window->maphibrido,
                           window->maprelieve, window->seguimiento, window->configurar})
      if (b->isVisibleTo(window.get())) names.push_back(b->objectName().toStdString());
    return names;
  }

  TempProgramFolder folder{false};
  bool hot_key = false;  // register the global hot key
  std::unique_ptr<MainWindow> window;
  std::vector<std::string> messages;
  std::vector<std::string> statements;
};

}  // namespace tolvex::test

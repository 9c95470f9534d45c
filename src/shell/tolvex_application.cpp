#include "shell/tolvex_application.h"

#include <exception>

#include "map/page_scheme_qt.h"

namespace tolvex {
namespace {

// The browser engine learns of our page scheme only before the application object exists.
int& before_application(int& argc) {
  register_page_scheme();
  return argc;
}

}  // namespace

TolvexApplication::TolvexApplication(int& argc, char** argv) : QApplication(before_application(argc), argv) {}

bool TolvexApplication::notify(QObject* receiver, QEvent* event) {
  bool result = false;
  report_errors([&] { result = QApplication::notify(receiver, event); },
                [this](const QString& text) {
                  if (handler_) handler_(text);
                });
  return result;
}

void report_errors(const std::function<void()>& handler_call, const std::function<void(const QString&)>& report) {
  try {
    handler_call();
  } catch (const std::exception& error) {
    report(QString::fromUtf8(error.what()));
  } catch (...) {
    report(QStringLiteral("error desconocido"));
  }
}

}  // namespace tolvex

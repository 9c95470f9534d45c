#include "shell/tolvex_application.h"

#include <exception>

namespace tolvex {

TolvexApplication::TolvexApplication(int& argc, char** argv) : QApplication(argc, argv) {}

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

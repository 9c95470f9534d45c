#pragma once
// The application object: every error that no handler caught ends here, once, and goes to the
// main window's error handler instead of ending the program. Making it also registers the page
// scheme (map/page_scheme_qt.h) with the browser engine, which must happen before it exists.
#include <QApplication>
#include <QPointer>

#include <functional>

namespace tolvex {

class TolvexApplication : public QApplication {
 public:
  TolvexApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

  // Who is told of an uncaught error (the main window's ApplicationEvents1Exception).
  void set_error_handler(std::function<void(const QString&)> handler) { handler_ = std::move(handler); }

 private:
  std::function<void(const QString&)> handler_;
};

// Runs `handler_call` and sends any error it throws to `report` (the same path as notify, for
// code that is not running inside an event, such as tests).
void report_errors(const std::function<void()>& handler_call, const std::function<void(const QString&)>& report);

}  // namespace tolvex

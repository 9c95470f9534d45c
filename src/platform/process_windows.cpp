// Windows: ask the system to trim the process working set; console close events end the program cleanly.
#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <windows.h>

#include "platform/platform.h"

namespace tolvex {

void trim_working_set() { SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1)); }

namespace {
QPointer<QObject> request_context;
std::function<void()> request_handler;

BOOL WINAPI on_console_event(DWORD) {
  if (!request_context) return FALSE;
  QMetaObject::invokeMethod(request_context.data(), [] { if (request_handler) request_handler(); }, Qt::QueuedConnection);
  return TRUE;
}
}  // namespace

void install_termination_handler(QObject* context, std::function<void()> on_request) {
  request_context = context;
  request_handler = std::move(on_request);
  SetConsoleCtrlHandler(on_console_event, TRUE);
}

}  // namespace tolvex

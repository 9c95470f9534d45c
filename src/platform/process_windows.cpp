// Windows: ask the system to trim the process working set; console close events end the program
// cleanly, with a last-resort deadline.
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0A00  // WSAPoll; Qt 6 runs on Windows 10 and later anyway
#endif
#include <winsock2.h>
#include <windows.h>

#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <cstdio>

#include "platform/platform.h"

namespace tolvex {

void trim_working_set() { SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1)); }

namespace {
QPointer<QObject> request_context;
std::function<void()> request_handler;
std::atomic<bool> requested{false};

DWORD WINAPI keep_deadline(LPVOID) {
  Sleep(kTerminationLimitMs);
  std::fputs("Tolvex: el cierre no terminó a tiempo; el proceso termina sin esperar más.\n", stderr);
  ExitProcess(1);
}

BOOL WINAPI on_console_event(DWORD) {
  if (!request_context) return FALSE;
  if (!requested.exchange(true)) CloseHandle(CreateThread(nullptr, 0, keep_deadline, nullptr, 0, nullptr));
  QMetaObject::invokeMethod(request_context.data(), [] { if (request_handler) request_handler(); }, Qt::QueuedConnection);
  return TRUE;
}
}  // namespace

bool termination_requested() { return requested.load(); }

void install_termination_handler(QObject* context, std::function<void()> on_request) {
  request_context = context;
  request_handler = std::move(on_request);
  SetConsoleCtrlHandler(on_console_event, TRUE);
}

bool wait_socket_writable(qintptr descriptor, int timeout_ms) {
  WSAPOLLFD fd{};
  fd.fd = static_cast<SOCKET>(descriptor);
  fd.events = POLLWRNORM;
  return WSAPoll(&fd, 1, timeout_ms < 0 ? 0 : timeout_ms) > 0;
}

}  // namespace tolvex

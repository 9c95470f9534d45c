// Windows: ask the system to trim the process working set; console close events end the program
// cleanly, with a last-resort deadline; text files open in Notepad.
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0A00  // WSAPoll; Qt 6 runs on Windows 10 and later anyway
#endif
#include <winsock2.h>
#include <windows.h>

#include <QDir>
#include <QFileInfo>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QProcess>

#include <atomic>
#include <cstdio>

#include "platform/platform.h"

namespace tolvex {

namespace {

// "<folder>\notepad.exe" when that file exists; empty otherwise. `length` is what the Win32
// call returned: 0 on failure, or more than the buffer when it did not fit.
QString notepad_in(const wchar_t* folder, UINT length, UINT capacity) {
  if (length == 0 || length >= capacity) return {};
  const QString file = QString::fromWCharArray(folder, static_cast<qsizetype>(length)) + QStringLiteral("\\notepad.exe");
  return QFileInfo(file).isFile() ? file : QString();
}

// Notepad by its full path: a bare "notepad.exe" is looked for in the program's folder and the
// current folder before the system's, where any program of that name would run instead.
QString system_notepad() {
  wchar_t folder[MAX_PATH + 1];
  QString notepad = notepad_in(folder, GetSystemDirectoryW(folder, MAX_PATH + 1), MAX_PATH + 1);
  if (notepad.isEmpty()) notepad = notepad_in(folder, GetSystemWindowsDirectoryW(folder, MAX_PATH + 1), MAX_PATH + 1);
  return notepad;
}

}  // namespace

bool open_in_text_editor(const QString& path) {
  const QString notepad = system_notepad();
  if (notepad.isEmpty()) return false;
  return QProcess::startDetached(notepad, {QDir::toNativeSeparators(path)});
}

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

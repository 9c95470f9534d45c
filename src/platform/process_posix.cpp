// Linux: hand freed heap pages back to the system. Termination signals through a self-pipe,
// with a last-resort deadline kept by a thread of its own. Text files open in the desktop's editor.
#include <QCoreApplication>
#include <QDesktopServices>
#include <QObject>
#include <QProcess>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QUrl>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "platform/platform.h"

namespace tolvex {

bool open_in_text_editor(const QString& path) {
  // Started, xdg-open still fails when no application takes text files; the desktop's own
  // launchers answer at once, and one that runs the editor itself is still running after the
  // wait: it has found one. Elsewhere, whatever launcher Qt knows.
  constexpr int kLauncherWaitMs = 2000;
  const QString xdg_open = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
  if (xdg_open.isEmpty()) return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
  auto* launcher = new QProcess(QCoreApplication::instance());
  QObject::connect(launcher, &QProcess::finished, launcher, &QObject::deleteLater);
  launcher->setProcessChannelMode(QProcess::ForwardedChannels);
  launcher->start(xdg_open, {path});
  if (!launcher->waitForStarted(kLauncherWaitMs)) {
    launcher->deleteLater();
    return false;
  }
  if (!launcher->waitForFinished(kLauncherWaitMs)) return true;
  return launcher->exitStatus() == QProcess::NormalExit && launcher->exitCode() == 0;
}

void trim_working_set() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

namespace {
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler sets the flag");
std::atomic<bool> requested{false};
int signal_pipe[2] = {-1, -1};    // to the event loop
int deadline_pipe[2] = {-1, -1};  // to the deadline thread

void on_signal(int) {
  // Only async-signal-safe work here: the event loop does the rest.
  requested.store(true);
  const char byte = 1;
  [[maybe_unused]] ssize_t n = ::write(signal_pipe[0], &byte, 1);
  n = ::write(deadline_pipe[0], &byte, 1);
}

// Sleeps through the whole limit, whatever interrupts the sleep.
void sleep_ms(int ms) {
  timespec left{ms / 1000, (ms % 1000) * 1000000L};
  while (::nanosleep(&left, &left) == -1 && errno == EINTR) {
  }
}

// Waits for the first request, then gives the close sequence its limit. The event loop may be
// stuck where no close can reach it (a blocking call, another window's modal loop): the process
// ends anyway. Settings files are written atomically, so none is left half-written.
void keep_deadline() {
  char byte = 0;
  while (::read(deadline_pipe[1], &byte, 1) == -1 && errno == EINTR) {
  }
  sleep_ms(kTerminationLimitMs);
  static const char message[] = "Tolvex: el cierre no terminó a tiempo; el proceso termina sin esperar más.\n";
  [[maybe_unused]] ssize_t n = ::write(STDERR_FILENO, message, sizeof message - 1);
  ::_exit(1);
}
}  // namespace

bool termination_requested() { return requested.load(); }

void install_termination_handler(QObject* context, std::function<void()> on_request) {
  if (signal_pipe[0] == -1 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, signal_pipe) != 0) return;
  if (deadline_pipe[0] == -1) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, deadline_pipe) != 0) return;
    std::thread(keep_deadline).detach();
  }
  auto* notifier = new QSocketNotifier(signal_pipe[1], QSocketNotifier::Read, context);
  QObject::connect(notifier, &QSocketNotifier::activated, context, [on_request = std::move(on_request)] {
    char buffer[16];
    [[maybe_unused]] ssize_t n = ::read(signal_pipe[1], buffer, sizeof buffer);
    on_request();
  });
  struct sigaction action {};
  action.sa_handler = on_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool wait_socket_writable(qintptr descriptor, int timeout_ms) {
  pollfd fd{static_cast<int>(descriptor), POLLOUT, 0};
  const int n = ::poll(&fd, 1, timeout_ms < 0 ? 0 : timeout_ms);
  return n > 0;
}

}  // namespace tolvex

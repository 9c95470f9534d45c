// Linux: hand freed heap pages back to the system. Termination signals through a self-pipe.
#include <QObject>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "platform/platform.h"

namespace tolvex {

void trim_working_set() {
#if defined(__GLIBC__)
  malloc_trim(0);
#endif
}

namespace {
int signal_pipe[2] = {-1, -1};

void on_signal(int) {
  const char byte = 1;
  // Only async-signal-safe work here: the event loop does the rest.
  [[maybe_unused]] ssize_t n = ::write(signal_pipe[0], &byte, 1);
}
}  // namespace

void install_termination_handler(QObject* context, std::function<void()> on_request) {
  if (signal_pipe[0] == -1 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, signal_pipe) != 0) return;
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

}  // namespace tolvex

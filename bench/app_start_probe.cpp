// Starts the program as its own main() does (same application object, window options and
// show), and prints when each start-up step ended and when the first page loaded, on the
// system-wide monotonic clock, then quits. app_process_bench runs it; it is not a benchmark.
// Usage: app_start_probe --folder DIR
#include <QCoreApplication>
#include <QObject>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "map/web_profile_qt.h"
#include "shell/main_window.h"
#include "shell/tolvex_application.h"

namespace {

long long now_ns(clockid_t clock) {
  timespec ts{};
  clock_gettime(clock, &ts);
  return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

// Field 22 of /proc/self/stat: when the process started, in clock ticks since boot.
long long start_ticks() {
  std::ifstream in("/proc/self/stat");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::istringstream rest(text.substr(text.rfind(')') + 2));
  std::string field;
  for (int i = 3; i <= 22 && (rest >> field); ++i) {
  }
  return std::stoll(field);
}

}  // namespace

int main(int argc, char** argv) {
  const long long at_main = now_ns(CLOCK_MONOTONIC);
  QString folder;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--folder") == 0) folder = QString::fromLocal8Bit(argv[i + 1]);

  tolvex::add_browser_engine_flags();
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  tolvex::TolvexApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Tolvex"));
  const long long at_app = now_ns(CLOCK_MONOTONIC);

  tolvex::MainWindowOptions options;
  options.folder = folder;
  options.version = tolvex::program_version();
  tolvex::MainWindow window(options);
  app.set_error_handler([&window](const QString& text) { window.ApplicationEvents1Exception(text); });
  const long long at_window = now_ns(CLOCK_MONOTONIC);

  long long at_shown = 0;
  bool reported = false;
  QObject::connect(&window, &tolvex::MainWindow::map_page_loaded, &app, [&] {
    if (reported) return;
    reported = true;
    const long long at_loaded = now_ns(CLOCK_MONOTONIC);
    const double since_start_s = static_cast<double>(now_ns(CLOCK_BOOTTIME)) / 1e9 -
                                 static_cast<double>(start_ticks()) / static_cast<double>(sysconf(_SC_CLK_TCK));
    std::printf("main=%lld app=%lld window=%lld shown=%lld loaded=%lld since_proc_start_s=%.3f\n", at_main, at_app,
                at_window, at_shown, at_loaded, since_start_s);
    std::fflush(stdout);
    QCoreApplication::quit();
  });
  window.show();
  at_shown = now_ns(CLOCK_MONOTONIC);
  return app.exec();
}

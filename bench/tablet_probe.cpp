// Tablets for the tablet-view benchmarks, in a process of their own (as the tablets' browsers
// are outside Tolvex): VIEWS browser views of phone size open URL; with --record the first one
// notes when each sample has moved its aircraft. After SECONDS it prints how many views are
// connected and drawing the aircraft ("connected=N"), with --record how far its page clock is
// from the system clock ("offset_ms=... bound_ms=..."), then one line "lat epoch_ms" per sample
// moved, and quits. app_tablet_bench runs it; it is not a benchmark.
// Usage: tablet_probe URL VIEWS SECONDS [--record]
#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWebEngineView>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

double epoch_ms() {
  return std::chrono::duration<double, std::milli>(std::chrono::system_clock::now().time_since_epoch()).count();
}

QVariant evaluate(QWebEngineView& view, const QString& script) {
  QVariant result;
  QEventLoop loop;
  view.page()->runJavaScript(script, [&](const QVariant& v) {
    result = v;
    loop.quit();
  });
  QTimer::singleShot(5000, &loop, &QEventLoop::quit);
  loop.exec();
  return result;
}

// Wraps the page's MueveAvion: [latitude, page clock when it returned] per call.
const char kRecord[] =
    "(function(){if(window.__probe)return true;var o=window.MueveAvion;window.__probe=[];"
    "window.MueveAvion=function(lt){var r=o.apply(this,arguments);"
    "window.__probe.push(lt+' '+(performance.timeOrigin+performance.now()));return r;};return true;})()";

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: tablet_probe URL VIEWS SECONDS [--record]\n");
    return 2;
  }
  QApplication app(argc, argv);
  const QUrl url(QString::fromLocal8Bit(argv[1]));
  const int count = std::atoi(argv[2]);
  const int seconds = std::atoi(argv[3]);
  const bool record = argc > 4 && std::strcmp(argv[4], "--record") == 0;
  std::vector<std::unique_ptr<QWebEngineView>> views;
  int loaded = 0;
  for (int i = 0; i < count; ++i) {
    auto view = std::make_unique<QWebEngineView>();
    view->resize(412, 732);
    view->move(20 * i, 10 * i);
    view->show();
    QObject::connect(view.get(), &QWebEngineView::loadFinished, [&loaded](bool ok) { loaded += ok ? 1 : 0; });
    view->load(url);
    views.push_back(std::move(view));
  }
  QEventLoop wait;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] { if (loaded == count) wait.quit(); });
  poll.start(20);
  QTimer::singleShot(30000, &wait, &QEventLoop::quit);
  if (count > 0) wait.exec();
  if (loaded != count) {
    std::printf("error=only %d of %d pages loaded\n", loaded, count);
    return 1;
  }
  if (record) evaluate(*views.front(), QString::fromLatin1(kRecord));
  // Read before quitting: a quitting application's pages run no more scripts.
  QTimer::singleShot(seconds * 1000, &app, [&] {
    int connected = 0;
    for (auto& view : views)
      connected += evaluate(*view, QStringLiteral("!!(window.enlaceAbierto && window.avionVisto)")).toBool() ? 1 : 0;
    std::printf("connected=%d\n", connected);
    if (record) {
      double best_width = 1e9, offset = 0;
      for (int i = 0; i < 20; ++i) {
        const double before = epoch_ms();
        const double page = evaluate(*views.front(), QStringLiteral("performance.timeOrigin+performance.now()")).toDouble();
        const double after = epoch_ms();
        if (after - before < best_width) {
          best_width = after - before;
          offset = page - (before + after) / 2;
        }
      }
      std::printf("offset_ms=%.3f bound_ms=%.3f\n", offset, best_width / 2);
      for (const QVariant& line : evaluate(*views.front(), QStringLiteral("window.__probe")).toList())
        std::printf("%s\n", line.toString().toUtf8().constData());
    }
    app.quit();
  });
  app.exec();
  std::fflush(stdout);
  return 0;
}

#pragma once
// A page whose <script src> host accepts the connection and never answers never finishes
// loading, and whoever waits for the page waits for good. The watchdog gives a watched load a
// time limit: a load that has not finished by then is stopped and reported, the first of a
// streak of such loads marked, so that the pilot hears of a streak once.
#include <QObject>
#include <QPointer>
#include <QTimer>

class QWebEngineView;

namespace tolvex {

class PageLoadWatchdog : public QObject {
  Q_OBJECT

 public:
  static constexpr int kDefaultLimitMs = 15000;

  explicit PageLoadWatchdog(int limit_ms = kDefaultLimitMs, QObject* parent = nullptr);

  int limit_ms() const { return timer_.interval(); }
  // Watches the load that `view` has just begun, instead of any load watched before.
  void watch(QWebEngineView* view);
  // The watched load finished in time: the streak of stopped loads, if any, ends. Does nothing
  // when no load is watched (a load that was not watched, or one already stopped).
  void finished();
  bool watching() const { return timer_.isActive(); }

 signals:
  // The watched load did not finish within the limit and was stopped. `first`: it starts a
  // streak (no watched load finished in time since the last one that was stopped).
  void expired(bool first);

 private:
  void expire();

  QTimer timer_;
  QPointer<QWebEngineView> view_;
  bool in_streak_ = false;
};

}  // namespace tolvex

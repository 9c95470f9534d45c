#include "map/page_load_watchdog_qt.h"

#include <QWebEngineView>

namespace tolvex {

PageLoadWatchdog::PageLoadWatchdog(int limit_ms, QObject* parent) : QObject(parent) {
  timer_.setSingleShot(true);
  timer_.setInterval(limit_ms);
  connect(&timer_, &QTimer::timeout, this, &PageLoadWatchdog::expire);
}

void PageLoadWatchdog::watch(QWebEngineView* view) {
  view_ = view;
  timer_.start();
}

void PageLoadWatchdog::finished() {
  if (!timer_.isActive()) return;
  timer_.stop();
  view_.clear();
  in_streak_ = false;
}

void PageLoadWatchdog::expire() {
  const bool first = !in_streak_;
  in_streak_ = true;
  // Stopping may report the load as finished at once; the timer is already off, so that report
  // does not end the streak.
  if (QWebEngineView* view = view_.data()) view->stop();
  view_.clear();
  emit expired(first);
}

}  // namespace tolvex

#pragma once
// A caption over the map, for what the pilot should know without being stopped: the map goes on
// moving underneath and no button has to be pressed. It lies across the top of its parent (the
// map panel), above the browser view even when that view is created anew, and shows plain text.
#include <QLabel>
#include <QTimer>

namespace tolvex {

class MapNotice : public QLabel {
 public:
  explicit MapNotice(QWidget* parent);

  // Shows `text` until the next notice or clear_notice(); with hide_after_ms, only that long.
  void show_notice(const QString& text, int hide_after_ms = 0);
  void clear_notice();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void place();

  QTimer hide_timer_;
};

}  // namespace tolvex

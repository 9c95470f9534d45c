#include "base/busy_cursor_qt.h"
#include <QApplication>

namespace tolvex {

void BusyCursor::set(bool busy) {
  if (busy == on_) return;
  on_ = busy;
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

}  // namespace tolvex

// Minimise to the tray and back, by button, tray icon or the global hot key.
#include <QEvent>
#include <QSystemTrayIcon>
#include <QWindowStateChangeEvent>

#include "shell/main_window.h"

namespace tolvex {

void MainWindow::hide_to_tray() {
  in_tray_ = true;
  if (QSystemTrayIcon::isSystemTrayAvailable()) {
    CoolTrayIcon->show();
    hide();
  } else {
    // No tray on this desktop: a plain minimise, restored from the task bar or the hot key.
    showMinimized();
  }
}

void MainWindow::restore_from_tray() {
  in_tray_ = false;
  showNormal();
  raise();
  activateWindow();
  restored();
}

// Back on screen: the tray icon goes, and one poll catches up when a tick fell due meanwhile.
void MainWindow::restored() {
  CoolTrayIcon->hide();
  minimizada = false;
  if (conectado && hayact) {
    hayact = false;
    leer_posicion();
  }
}

void MainWindow::minimizar_apliClick() {
  hayact = false;
  minimizada = true;
  hide_to_tray();
}

void MainWindow::CoolTrayIconDblClick() { restore_from_tray(); }

void MainWindow::HotKeyManager1HotKeyPressed() {
  if (in_tray_) {
    restore_from_tray();
    return;
  }
  hayact = false;
  minimizada = true;
  hide_to_tray();
}

void MainWindow::changeEvent(QEvent* e) {
  QMainWindow::changeEvent(e);
  if (e->type() != QEvent::WindowStateChange) return;
  // Brought back from the task bar after a plain minimise: the same as a restore from the tray.
  if (in_tray_ && !(windowState() & Qt::WindowMinimized) && isVisible()) {
    in_tray_ = false;
    restored();
  }
}

}  // namespace tolvex

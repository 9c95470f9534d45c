// The close sequence of the main window, by the pilot or by the system (a termination signal).
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QtWebEngineWidgets/QWebEngineView>

#include "base/ini_file.h"
#include "map/page_load_watchdog_qt.h"
#include "platform/platform.h"
#include "shell/main_window.h"
#include "tablet/tablet_server_qt.h"

namespace tolvex {

bool MainWindow::closing_unattended() const { return unattended_close_ || termination_requested(); }

void MainWindow::close_unattended() {
  unattended_close_ = true;
  close_modal_windows();
  // The modal loops end once control returns to them; the close runs after that.
  QTimer::singleShot(0, this, [this] { close(); });
}

void MainWindow::close_modal_windows() {
  // Any modal window (a message, a dialog, one opened from another): each is asked to go, and
  // one that refuses is hidden, which ends its modal loop all the same.
  for (int guard = 0; guard < 64; ++guard) {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == this) return;
    if (auto* dialog = qobject_cast<QDialog*>(modal))
      dialog->reject();
    else
      modal->close();
    if (QApplication::activeModalWidget() == modal) modal->hide();
  }
}

void MainWindow::closeEvent(QCloseEvent* e) {
  if (connecting_) {
    // The connect steps are not cut in the middle: the close runs right after them.
    close_pending_ = true;
    e->ignore();
    return;
  }
  escribir_log("Cerrando");
  remember_placement();
  reconnect_timer_.stop();
  try {
    IniFile ini(carpeta + "CONFIG.INI");
    save_preferences(ini, cfg);
  } catch (const std::exception& error) {
    escribir_log(std::string("No se han guardado las preferencias: ") + error.what());
    mostrar_mensaje(QStringLiteral("No se han podido guardar las preferencias en CONFIG.INI: ") +
                    QString::fromStdString(error.what()));
  }
  if (conectado) {
    try {
      cerrar_enlace();
      conectado = false;
    } catch (const std::exception& error) {
      conectado = false;
      ApplicationEvents1Exception(QString::fromStdString(error.what()));
      // Reported like any other unhandled error; the pilot's window stays open and the next close
      // completes. A close nobody watches goes on.
      if (!closing_unattended()) {
        e->ignore();
        return;
      }
    }
  }
  try {
    Timer_auto.stop();
    Timer_tableta.stop();
    tablet_server.reset();
    page_watchdog_->finished();
    if (webbrowser1) {
      delete webbrowser1;
      webbrowser1 = nullptr;
      bridge = nullptr;
    }
  } catch (...) {
  }
  if (CoolTrayIcon) CoolTrayIcon->hide();
  busy_cursor_.set(false);
  e->accept();
  emit closed();
}

}  // namespace tolvex

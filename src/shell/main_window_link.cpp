// The link to the simulator: connect and disconnect, the automatic and manual polls.
#include <QCoreApplication>
#include <QLabel>
#include <QTimer>
#include <QtWebEngineWidgets/QWebEngineView>

#include "map/browser_bridge.h"
#include "base/diagnostic_log.h"
#include "shell/main_window.h"
#include "simlink/fsuipc_position.h"
#include "simlink/iocp_client_qt.h"
#include "simlink/xgps_client_qt.h"
#include "tablet/tablet_server_qt.h"

namespace tolvex {

void MainWindow::conexionClick() {
  if (connecting_) return;  // a second press while the first one is still connecting
  if (!conectado) {
    // A close asked for meanwhile (the steps process messages twice) waits for their end,
    // also when they end in an error.
    struct Connecting {
      MainWindow& w;
      explicit Connecting(MainWindow& window) : w(window) { w.connecting_ = true; }
      ~Connecting() {
        w.connecting_ = false;
        if (!w.close_pending_) return;
        w.close_pending_ = false;
        QTimer::singleShot(0, &w, [window = &w] { window->close(); });
      }
    } connecting(*this);
    connect_steps();
    return;
  }
  // Disconnect: every error here is swallowed, and the program ends disconnected whatever happens.
  reset_link();
  set_receiving(false);
  try {
    cerrar_enlace();
  } catch (...) {
  }
  try {
    conectado = false;
    mostrar_botones(false);
    mostrar_inicio();
  } catch (...) {
  }
  conectado = false;
}

void MainWindow::connect_steps() {
  escribir_log("1) Antes de conectar");
  pp_caption->setText(QStringLiteral("Conectando. Por favor, espere..."));
  QCoreApplication::processEvents();
  if (conectar()) {
    conectado = true;
    escribir_log("2) Ya conectado");
    pp_caption->clear();
    QCoreApplication::processEvents();
    pulsaboton = true;
    reset_link();
    leer_posicion();
    // Without a first sample there is no page yet: polling goes on, and the first good poll
    // builds it.
    if (link_recovery_.failing()) Timer_auto.start();
  } else {
    escribir_log("3) No conectamos");
    pp_caption->clear();
    mostrar_botones(false);
    mostrar_mensaje(QStringLiteral("No se ha podido conectar con el Flight Simulator"));
  }
}

void MainWindow::cerrar_enlace() {
  if (cfg.iocpserver) {
    escribir_log("Antes de desconectar IOCPSERVER");
    IdTCPClient->close();
    escribir_log("Después de desconectar IOCPSERVER");
  } else if (cfg.link_kind == LinkKind::xgps) {
    escribir_log("Antes de desconectar XGPS");
    xgps_client->close();
    escribir_log("Después de desconectar XGPS");
  } else {
    escribir_log("Desconectar FSUIPC");
    FsuipcPosition().close();
  }
}

bool MainWindow::conectar() {
  try {
    if (cfg.iocpserver) {
      escribir_log("5) Conexión IOCPSERVER " + std::to_string(cfg.puerto) + " - " + cfg.dirip);
      IdTCPClient->open(cfg.dirip, cfg.puerto);
      return true;
    }
    if (cfg.link_kind == LinkKind::xgps) {
      escribir_log("7) Conexión XGPS " + std::to_string(cfg.puertoudp));
      try {
        xgps_client->open(cfg.puertoudp);
      } catch (const std::exception& error) {
        escribir_log(std::string("No se pudo conectar por red (XGPS): ") + error.what());
        return false;
      }
      return true;
    }
    escribir_log("6) Conexión FSUIPC");
    // Any simulator; without one (and on systems without FSUIPC) the open fails.
    return FsuipcPosition().open();
  } catch (...) {
    return false;
  }
}

void MainWindow::ActualizarClick() {
  pulsaboton = true;
  if (conectado) leer_posicion();
}

void MainWindow::Timer_autoTimer() {
  pulsaboton = false;
  if (!conectado) return;
  if (minimizada) {
    hayact = true;
    // Open tablets follow the aircraft all the same; the hidden map waits for the restore.
    if (tablet_server && tablet_server->tablet_count() > 0 && leer_enlace() && receiving_) publicar_muestra_tableta();
    return;
  }
  leer_posicion();
}

void MainWindow::IdTCPClientDisconnected() {
  conectado = false;
  escribir_log("Desconectado IOCPSERVER");
}

bool MainWindow::leer_enlace() {
  if (cfg.iocpserver) {
    escribir_log("Solicitar datos al IOCPSERVER");
    if (!poll_iocp()) return false;  // the failure was reported; no hand-over
    escribir_log("Datos leidos del iocpserver:" + sample_text(latitud, longitud, heading, decimal_separator));
  } else if (cfg.link_kind == LinkKind::xgps) {
    escribir_log("Solicitar datos por red (XGPS)");
    if (!poll_xgps()) return false;  // the failure was reported; no hand-over
    escribir_log("Datos leidos de la red (XGPS):" + sample_text(latitud, longitud, heading, decimal_separator));
  } else {
    escribir_log("Solicitar datos al FSUIPC");
    // A failed read is silent: the map is handed the previous sample.
    const auto sample = FsuipcPosition().poll(cfg.xplane);
    if (sample) {
      latitud = sample->latitud;
      longitud = sample->longitud;
      heading = sample->heading;
    }
    set_receiving(sample.has_value());
    escribir_log("Datos leidos de FSUIPC:" + sample_text(latitud, longitud, heading, decimal_separator));
  }
  return true;
}

void MainWindow::leer_posicion() {
  if (!leer_enlace()) return;
  // The tablets first: a page rebuilt here keeps them waiting for nothing.
  if (receiving_) publicar_muestra_tableta();
  if (pulsaboton || cfg.MapaSK || !map_page_built_) {
    map_page_built_ = true;
    actualizar_mapa();
  } else {
    mover_avion();
  }
  escribir_log("Antes del sonido");
  if (cfg.Sonidos && pulsaboton) Timer_sonido.start();
}

bool MainWindow::poll_iocp() {
  if (!link_recovery_.can_poll()) {
    link_down_poll();
    return false;
  }
  try {
    IdTCPClient->poll(latitud, longitud, heading);
  } catch (const std::exception& error) {
    link_poll_failed(error.what(), !IdTCPClient->is_alive());
    return false;
  }
  link_poll_succeeded();
  return true;
}

bool MainWindow::poll_xgps() {
  bool ok = true;
  try {
    xgps_client->poll(latitud, longitud, heading);
  } catch (const std::exception& error) {
    // A simulator that stopped sending is no program fault: the pilot reads the reason as it is.
    ok = false;
    link_poll_failed(error.what(), false);
  }
  if (auto report = xgps_client->sender_report()) escribir_log(*report);
  if (auto report = xgps_client->ignored_report()) escribir_log(*report);
  if (ok) link_poll_succeeded();
  return ok;
}

}  // namespace tolvex

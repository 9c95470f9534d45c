// The tablet view seen from the main window: the server started and stopped as the settings say,
// its key, and what it sends the tablets: each poll's sample and every change of what the map
// shows.
#include <QPointer>
#include <QRandomGenerator>
#include <QVariant>

#include <array>

#include "base/ini_file.h"
#include "base/text_file.h"
#include "map/browser_bridge.h"
#include "overlays/airspace_catalogue.h"
#include "shell/main_window.h"
#include "tablet/tablet_key.h"
#include "tablet/tablet_server_qt.h"
#include "tablet/tablet_state.h"

namespace tolvex {
namespace {

// Where the pilot's dynamic route starts on the main map page, or null.
const char kDynamicRoutePoint[] =
    "(function(){if(typeof marcapos==='undefined'||!marcapos||!marcapos.getMap())return null;"
    "var p=marcapos.getPosition();return [p.lat(),p.lng()];})()";

std::string random_key() {
  std::array<std::uint8_t, kKeyLength> bytes{};
  QRandomGenerator* random = QRandomGenerator::system();
  for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>(random->bounded(256));
  return key_from_random(bytes);
}

}  // namespace

void MainWindow::aplicar_vista_tableta() {
  if (!cfg.servidor_web) {
    if (tablet_server) {
      tablet_server.reset();
      Timer_tableta.stop();
      escribir_log("Vista en tableta: servidor parado");
    }
    return;
  }
  if (!is_valid_key(cfg.claveweb)) {
    if (!cfg.claveweb.empty()) escribir_log("Vista en tableta: CLAVEWEB no válida en CONFIG.INI; se hace una nueva");
    if (nueva_clave_tableta().empty()) return;
  }
  if (tablet_server && tablet_server->running() && tablet_server->port() == cfg.puertoweb) return;
  TabletServerOptions options;
  options.files_folder = QString::fromStdString(page_files_folder);
  options.maps = cfg.maps;
  options.log = [this](const std::string& line) { escribir_log(line); };
  tablet_server = std::make_unique<TabletServer>(options);
  // Polls that fail, or no link at all: the tablets say "Sin datos del simulador".
  connect(this, &MainWindow::link_state_changed, tablet_server.get(), [server = tablet_server.get()](bool receiving) {
    if (!receiving) server->publish_no_data();
  });
  connect(tablet_server.get(), &TabletServer::tablets_changed, this, [this](int count) {
    if (count > 0 && !Timer_tableta.isActive()) Timer_tableta.start();
    if (count == 0) Timer_tableta.stop();
  });
  if (!tablet_server->start(static_cast<quint16>(cfg.puertoweb), cfg.claveweb)) {
    const QString reason = tablet_server->error_text();
    tablet_server.reset();
    escribir_log("Vista en tableta: no se puede abrir el puerto " + std::to_string(cfg.puertoweb) + ": " +
                 reason.toStdString());
    mostrar_mensaje(QStringLiteral("No se ha podido abrir el puerto %1 para la vista en tableta (%2). "
                                   "Elija otro puerto en la configuración.")
                        .arg(cfg.puertoweb)
                        .arg(reason));
    return;
  }
  publicar_estado_tableta();
  if (receiving_) publicar_muestra_tableta();
}

std::string MainWindow::nueva_clave_tableta() {
  const std::string key = random_key();
  try {
    IniFile ini(carpeta + "CONFIG.INI");
    save_web_key(ini, key);
  } catch (const std::exception& error) {
    escribir_log(std::string("Vista en tableta: no se ha guardado la clave: ") + error.what());
    mostrar_mensaje(QStringLiteral("No se ha podido guardar la clave de la vista en tableta en CONFIG.INI: %1. "
                                   "La clave no ha cambiado.")
                        .arg(QString::fromStdString(error.what())));
    return {};
  }
  cfg.claveweb = key;
  if (tablet_server) tablet_server->set_key(key);
  escribir_log("Vista en tableta: clave nueva");
  return key;
}

std::vector<std::string> MainWindow::direcciones_tableta(std::int32_t puerto, const std::string& clave) const {
  return tablet_addresses(lan_ipv4_addresses(), puerto, clave);
}

void MainWindow::publicar_estado_tableta() {
  if (!tablet_server) return;
  std::string vfr_text;
  if (cfg.puntosvfr) {
    try {
      const std::string path = file_in_folder(carpeta, "PuntosVFR.txt");
      if (file_exists(path)) vfr_text = read_text_file(path);
    } catch (const std::exception& error) {
      escribir_log(std::string("Vista en tableta: ") + error.what());
    }
  }
  const LineStyle route_style{cfg.ruta_ancho, cfg.ruta_color, cfg.ruta_trans};
  tablet_server->update_state({
      {kSectionMapa, map_section(tipogooglemap, cfg.auto_, cfg.suave)},
      {kSectionRuta, route_section(cfg.ruta_visible, ruta_ruta, route_style)},
      {kSectionEspacios, airspaces_section(airspaces, cfg.lespaciosaereos)},
      {kSectionVfr, vfr_section(vfr_text, cfg.puntosvfr)},
  });
}

void MainWindow::publicar_muestra_tableta() {
  if (tablet_server) tablet_server->publish_sample({latitud, longitud, heading});
}

void MainWindow::Timer_tabletaTimer() {
  if (!tablet_server || !bridge) return;
  if (cfg.MapaSK || !conectado) {
    tablet_server->update_state({{kSectionRutaDin, "null"}});
    return;
  }
  const LineStyle style{cfg.rutadin_ancho, cfg.rutadin_color, cfg.rutadin_trans};
  QPointer<MainWindow> self(this);
  bridge->evaluate_later(QString::fromLatin1(kDynamicRoutePoint), [self, style](const QVariant& value) {
    if (!self || !self->tablet_server) return;
    std::optional<std::pair<double, double>> point;
    const QVariantList pair = value.toList();
    if (pair.size() == 2) point = std::make_pair(pair[0].toDouble(), pair[1].toDouble());
    self->tablet_server->update_state({{kSectionRutaDin, dynamic_route_section(point, style)}});
  });
}

}  // namespace tolvex

// The moving map: page rebuilds, the page-loaded step, and the commands sent to the page.
#include <QLabel>
#include <QStackedLayout>
#include <QToolButton>
#include <QtWebEngineWidgets/QWebEngineView>

#include "map/browser_bridge.h"
#include "map/page_load_watchdog_qt.h"
#include "map/map_page_builder.h"
#include "map/view_statements.h"
#include "map/web_profile_qt.h"
#include "overlays/airspace_drawing.h"
#include "overlays/vfr_points.h"
#include "shell/main_window.h"
#include "base/number_format.h"

namespace tolvex {
namespace {

// "15 s", "1,5 s".
std::string seconds_text(int ms, char decimal_separator) {
  return format_general(ms / 1000.0, decimal_separator) + " s";
}

}  // namespace

void MainWindow::recreate_browser() {
  if (webbrowser1) {
    // Only the new page's load counts: the old control must not report its own any more.
    if (bridge) bridge->disconnect(this);
    webbrowser1->disconnect(this);
    webbrowser1->deleteLater();
    webbrowser1 = nullptr;
    bridge = nullptr;
  }
  webbrowser1 = new QWebEngineView(Panel1);
  configure_view(webbrowser1);
  bridge = new BrowserBridge(webbrowser1);
  connect(bridge, &BrowserBridge::loaded, this, &MainWindow::mapa_cargado);
  // The zoom the pilot chose in the page holds for the next rebuild (refresh, configuration).
  connect(webbrowser1, &QWebEngineView::urlChanged, this, [this](const QUrl& url) {
    if (const auto zoom = zoom_in_fragment(url.fragment().toStdString())) ZoomGL = *zoom;
  });
  auto* stack = static_cast<QStackedLayout*>(Panel1->layout());
  stack->addWidget(webbrowser1);
  stack->setCurrentWidget(webbrowser1);
}

void MainWindow::actualizar_mapa() {
  Timer_auto.stop();
  escribir_log("Antes de actualizar mapa");
  MapPageInputs in;
  in.MapaSK = cfg.MapaSK;
  in.latitud = latitud;
  in.longitud = longitud;
  in.heading = heading;
  in.ZoomSK = ZoomSK;
  in.ZoomGL = ZoomGL;
  in.tipogooglemap = tipogooglemap;
  in.mapsize = cfg.mapsize;
  in.rutadin_color = cfg.rutadin_color;
  in.rutadin_ancho = cfg.rutadin_ancho;
  in.rutadin_trans = cfg.rutadin_trans;
  in.maps = cfg.maps;
  in.suave = cfg.suave;
  escribir_log(map_page_log_line(carpeta, heading));
  // The page is served from memory (nothing is written to the program folder), so only
  // reading the VFR points or building the page can fail here; either way polling goes on.
  std::string page;
  try {
    if (!cfg.MapaSK) in.puntos_vfr = load_vfr_statements(carpeta);
    page = build_map_page(in);
  } catch (const std::exception& error) {
    page_failed(error.what());
    return;
  }
  escribir_log("Antes del navigate");
  try {
    recreate_browser();
    busy_cursor_.set(true);
    bridge->show_page("page.html", page, QString::fromStdString(page_files_folder));
    page_watchdog_->watch(webbrowser1);
  } catch (const std::exception& error) {
    escribir_log("Error al recrear el twebbrowser");
    page_failed(error.what());
    return;
  }
  escribir_log("Después de actualizar el mapa");
}

void MainWindow::page_failed(const std::string& reason) {
  busy_cursor_.set(false);
  pp_caption->clear();
  if (conectado) {
    mostrar_botones(true);
    Timer_auto.start();
  }
  const std::string text = "No se ha podido preparar el mapa: " + reason;
  escribir_log(text);
  if (page_failures_.record_failure()) mostrar_mensaje(QString::fromStdString(text));
}

void MainWindow::mapa_cargado(bool ok) {
  // A load the watchdog stopped ends here too; it was reported there.
  const bool watched = page_watchdog_->watching();
  page_watchdog_->finished();
  if (ok) page_failures_.reset();
  if (conectado) {
    mostrar_botones(true);
    Timer_PuntosVFR.start();
    Timer_auto.start();
    if (cfg.lespaciosaereos) TimerEA.start();
  } else {
    mostrar_botones(false);
  }
  pp_caption->clear();
  busy_cursor_.set(false);
  publicar_estado_tableta();
  if (!ok && watched) {
    const std::string text = "No se ha podido cargar el mapa.";
    escribir_log(text);
    if (page_failures_.record_failure()) mostrar_mensaje(QString::fromStdString(text));
  }
  emit map_page_loaded(conectado);
  if (options_.connect_on_start) {
    options_.connect_on_start = false;
    QTimer::singleShot(0, this, [this] {
      if (!conectado) conexionClick();
    });
  }
}

// A rebuilt page that did not load in time (a script host that accepts and never answers) was
// stopped: polling goes on as after a load, and the pilot hears of it once per streak.
void MainWindow::page_load_expired(bool first) {
  if (conectado) {
    mostrar_botones(true);
    Timer_auto.start();
  }
  pp_caption->clear();
  busy_cursor_.set(false);
  const std::string host = page_script_host(cfg.MapaSK, cfg.maps);
  const std::string limit = seconds_text(page_watchdog_->limit_ms(), decimal_separator);
  const std::string text = host.empty()
                               ? "No se ha podido cargar el mapa: la página no terminó de cargarse en " + limit + "."
                               : "No se ha podido cargar el mapa: " + host + " no respondió en " + limit + ".";
  escribir_log(text);
  // The chart page says so itself instead of waiting for good (its scripts never came).
  if (cfg.MapaSK && webbrowser1)
    webbrowser1->page()->runJavaScript(
        QStringLiteral("if (window.sinCarta) sinCarta(document.querySelector('script[src]'));"));
  if (first) mostrar_mensaje(QString::fromStdString(text));
}

void MainWindow::send_statement(const std::string& statement) {
  if (bridge) bridge->run_statement(QString::fromStdString(statement));
}

void MainWindow::mover_avion() {
  if (!conectado) return;
  send_statement(mueve_avion_statement(latitud, longitud, heading, cfg.auto_));
}

void MainWindow::dibujar_ruta() {
  busy_cursor_.set(true);
  // One batch per point, so a point the page cannot read never stops the others.
  const RoutePointStatements route = route_point_statements(ruta_ruta);
  for (const std::string& statement : route.statements) send_statement(statement);
  for (int line : route.skipped_lines)
    escribir_log("Ruta: la línea " + std::to_string(line) + " no es un punto y no se dibuja");
  busy_cursor_.set(false);
}

void MainWindow::send_route() {
  dibujar_ruta();
  send_statement(cambiar_linea_statement(cfg.ruta_ancho, cfg.ruta_color, cfg.ruta_trans));
}

int MainWindow::interval_from_text() const {
  const int ms = interval_ms_from_text(cfg.intervalorgm, decimal_separator);
  return ms > 0 ? ms : 10000;
}

void MainWindow::cambiarClick() {
  if (cfg.mapsize == 3 && !cfg.MapaSK) {
    mostrar_mensaje(QStringLiteral("No es posible usar el mapa skyvector en el modo de tamaño de ventana ajustable"));
    return;
  }
  Timer_auto.stop();
  cfg.MapaSK = !cfg.MapaSK;
  for (QToolButton* b : {mapnormal, maphibrido, mapsatelite, maprelieve, bpuntosvfr, bruta, bespacios})
    b->setVisible(!cfg.MapaSK);
  for (QToolButton* b : {zoomin, zoomout}) b->setVisible(cfg.MapaSK);
  Timer_auto.setInterval(cfg.MapaSK ? 20000 : interval_from_text());
  actualizar_mapa();
}

namespace {
void set_map_type(MainWindow& w, int tipo) {
  if (!w.conectado || w.cfg.MapaSK) return;
  w.tipogooglemap = tipo;
  if (w.bridge) w.bridge->run_statement(QString::fromStdString(map_type_statement(tipo)));
  w.publicar_estado_tableta();
}
}  // namespace

void MainWindow::mapnormalClick() { set_map_type(*this, 1); }
void MainWindow::maphibridoClick() { set_map_type(*this, 2); }
void MainWindow::mapsateliteClick() { set_map_type(*this, 3); }
void MainWindow::maprelieveClick() { set_map_type(*this, 4); }

void MainWindow::zoominClick() {
  if (!conectado) return;
  ++ZoomSK;
  ActualizarClick();
}

void MainWindow::zoomoutClick() {
  if (!conectado || ZoomSK <= 1) return;
  --ZoomSK;
  ActualizarClick();
}

void MainWindow::seguimientoClick() {
  if (!conectado) return;
  cfg.auto_ = !cfg.auto_;
  show_toggle_states();
  publicar_estado_tableta();
  leer_posicion();
}

void MainWindow::bpuntosvfrClick() {
  if (!conectado || cfg.MapaSK) return;
  const bool were_shown = cfg.puntosvfr;
  cfg.puntosvfr = !cfg.puntosvfr;
  show_toggle_states();
  send_statement(were_shown ? std::string(ocultar_vfr_statement) : std::string(mostrar_vfr_statement));
  publicar_estado_tableta();
}

void MainWindow::bespaciosClick() {
  if (!conectado || cfg.MapaSK) {
    show_toggle_states();
    return;
  }
  cfg.lespaciosaereos = !cfg.lespaciosaereos;
  show_toggle_states();
  if (cfg.lespaciosaereos)
    TimerEATimer();
  else
    send_statement(std::string(borrar_espacios_statement));
  publicar_estado_tableta();
}

void MainWindow::brutaClick() {
  if (route_is_empty(ruta_ruta) || cfg.ruta_visible) {
    if (cfg.ruta_visible) send_statement(std::string(clear_ruta_statement));
    cfg.ruta_visible = false;
    show_toggle_states();
  } else {
    cfg.ruta_visible = true;
    show_toggle_states();
    send_route();
  }
  publicar_estado_tableta();
}

void MainWindow::Timer_PuntosVFRTimer() {
  Timer_PuntosVFR.stop();
  if (cfg.MapaSK) return;
  if (cfg.ruta_visible) {
    if (route_is_empty(ruta_ruta)) {
      cfg.ruta_visible = false;
      publicar_estado_tableta();
    } else {
      send_route();
    }
  }
  // The VFR points show whenever they are on, with the route or without it.
  if (cfg.puntosvfr) send_statement(std::string(mostrar_vfr_statement));
  show_toggle_states();
}

void MainWindow::TimerEATimer() {
  TimerEA.stop();
  if (!bridge) return;
  // One batch per airspace (a piece the page rejects stops only the rest of that airspace),
  // all delivered together: one message to the page instead of one per airspace.
  QList<QStringList> batches;
  for (const TAirSpace& a : airspaces) {
    if (!a.visible) continue;
    const std::vector<std::string> statements = sentencias_espacio(a, true);
    if (statements.empty()) continue;
    QStringList batch;
    batch.reserve(static_cast<qsizetype>(statements.size()));
    for (const std::string& s : statements) batch << QString::fromStdString(s);
    batches.append(std::move(batch));
  }
  bridge->run_batches(batches);
}

}  // namespace tolvex

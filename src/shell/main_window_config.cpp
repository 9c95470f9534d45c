// The configuration window seen from the main window: opening it, saving and taking over what
// the pilot chose, and the steps that apply it; the about window; the sound cue.
#include <QCoreApplication>
#include <QPointer>

#include "base/ini_file.h"
#include "dialogs/about_window.h"
#include "dialogs/config_rules.h"
#include "dialogs/config_window.h"
#include "dialogs/sound_cues.h"
#include "map/view_statements.h"
#include "overlays/airspace_selection_window.h"
#include "route/route_editor_window.h"
#include "shell/main_window.h"

namespace tolvex {

void MainWindow::configurarClick() {
  Timer_auto.stop();
  ConfigWindowInputs in;
  in.tipogooglemap = tipogooglemap;
  // The link as CONFIG.INI holds it for the next start, not the running one: a change saved and
  // waiting for a restart is shown, and "Aceptar" keeps it.
  in.iocpserver = enlace_guardado_.iocpserver;
  in.xgps = enlace_guardado_.xgps;
  in.host = enlace_guardado_.host;
  in.port = enlace_guardado_.port;
  in.puertoudp = enlace_guardado_.puertoudp;
  in.MapaSK = cfg.MapaSK;
  in.Sonidos = cfg.Sonidos;
  in.auto_ = cfg.auto_;
  in.puntosvfr = cfg.puntosvfr;
  in.ruta_visible = cfg.ruta_visible;
  in.lespaciosaereos = cfg.lespaciosaereos;
  in.suave = cfg.suave;
  in.intervalorgm = cfg.intervalorgm;
  in.mapsize = cfg.mapsize;
  in.xplane = cfg.xplane;
  in.rutadin_ancho = cfg.rutadin_ancho;
  in.rutadin_color = cfg.rutadin_color;
  in.rutadin_trans = cfg.rutadin_trans;
  in.conectado = conectado;
  in.latitud = latitud;
  in.longitud = longitud;
  in.pictures_folder = QString::fromStdString(page_files_folder);
  in.tableta.servidor = cfg.servidor_web;
  in.tableta.puerto = cfg.puertoweb;
  in.tableta.clave = cfg.claveweb;
  in.tableta.direcciones = [this](std::int32_t puerto, const std::string& clave) {
    return direcciones_tableta(puerto, clave);
  };
  in.tableta.nueva_clave = [this] { return nueva_clave_tableta(); };

  const std::int32_t old_mapsize = cfg.mapsize;
  std::optional<ConfigDecision> saved;
  ConfigWindowCallbacks callbacks;
  callbacks.guardar = [this, &saved](const ConfigChoice& choice) {
    saved = guardar_configuracion(choice);
    return saved;
  };
  callbacks.mensaje = [this](const QString& text) { mostrar_mensaje(text); };
  callbacks.abrir_ruta = [this](QWidget* parent, bool conec, const std::string& posact) {
    abrir_editor_ruta(parent, conec, posact);
  };
  callbacks.abrir_espacios = [this](QWidget* parent) { abrir_espacios_aereos(parent); };

  // The main window may be closed while the dialog is open (a termination signal closes the
  // dialog first): then nothing is applied to it afterwards.
  bool closed_meanwhile = false;
  const auto watch = connect(this, &MainWindow::closed, this, [&closed_meanwhile] { closed_meanwhile = true; });
  QPointer<ConfigWindow> dialog = new ConfigWindow(in, callbacks, this);
  const int result = dialog->exec();
  delete dialog;
  if (!closed_meanwhile && (result != QDialog::Accepted || !saved)) Timer_auto.start();
  if (!closed_meanwhile && result == QDialog::Accepted && saved) {
    // Restart notice; the running link is never changed here.
    const std::string aviso = aviso_reinicio(link_settings_of(cfg), *saved);
    if (!aviso.empty()) mostrar_mensaje(QString::fromStdString(aviso));
    if (!closed_meanwhile) confirmar_configuracion(*saved, old_mapsize);
  }
  disconnect(watch);
}

std::optional<ConfigDecision> MainWindow::guardar_configuracion(const ConfigChoice& choice) {
  const ConfigDecision d = decidir_configuracion(choice);
  Settings s = cfg;
  set_link_kind(s, d.iocpserver ? LinkKind::iocp : d.xgps ? LinkKind::xgps : LinkKind::fsuipc);
  s.puerto = d.puerto;
  s.puertoudp = d.puertoudp;
  s.dirip = d.dirip;
  s.MapaSK = d.MapaSK;
  s.Sonidos = d.Sonidos;
  s.auto_ = d.auto_;
  s.puntosvfr = d.puntosvfr;
  s.xplane = d.xplane;
  s.lespaciosaereos = d.lespaciosaereos;
  s.suave = d.suave;
  s.rutadin_ancho = d.rutadin_ancho.value_or(cfg.rutadin_ancho);
  s.rutadin_color = d.rutadin_color;
  s.rutadin_trans = d.rutadin_trans;
  s.ruta_visible = d.ruta_visible;
  s.mapsize = d.mapsize.value_or(cfg.mapsize);
  s.intervalorgm = d.intervalo;
  s.servidor_web = d.servidor_web;
  s.puertoweb = d.puertoweb;
  const std::int32_t tipo = d.tipogooglemap.value_or(tipogooglemap);
  try {
    IniFile ini(carpeta + "CONFIG.INI");
    save_configuration(ini, s, tipo);  // one atomic write
  } catch (const std::exception& error) {
    escribir_log(std::string("No se ha guardado la configuración: ") + error.what());
    mostrar_mensaje(QStringLiteral("No se ha podido guardar la configuración en CONFIG.INI: ") +
                    QString::fromStdString(error.what()));
    return std::nullopt;
  }
  // Taken over as soon as the file holds it, so that the file and the running program never
  // disagree. The running link (kind, host, port) changes only with a restart.
  enlace_guardado_ = link_settings_of(s);
  cfg.rutadin_ancho = s.rutadin_ancho;
  cfg.rutadin_color = s.rutadin_color;
  cfg.rutadin_trans = s.rutadin_trans;
  // Chosen here, the chart service holds for the rest of the run even in the adjustable window;
  // the next start falls back to Google Maps there.
  cfg.MapaSK = d.MapaSK;
  cfg.Sonidos = s.Sonidos;
  cfg.auto_ = s.auto_;
  cfg.xplane = s.xplane;
  cfg.puntosvfr = s.puntosvfr;
  cfg.ruta_visible = s.ruta_visible;
  cfg.lespaciosaereos = s.lespaciosaereos;
  cfg.suave = s.suave;
  cfg.mapsize = s.mapsize;
  cfg.intervalorgm = s.intervalorgm;
  cfg.servidor_web = s.servidor_web;
  cfg.puertoweb = s.puertoweb;
  tipogooglemap = tipo;
  set_follow_picture();
  // The tablet view changes at once, whether the map page is rebuilt or not.
  aplicar_vista_tableta();
  publicar_estado_tableta();
  return d;
}

void MainWindow::confirmar_configuracion(const ConfigDecision& /*saved*/, std::int32_t old_mapsize) {
  Timer_auto.setInterval(cfg.MapaSK ? 20000 : interval_from_text());
  const bool size_changed = cfg.mapsize != old_mapsize;
  const bool to_adjustable = size_changed && old_mapsize < 3 && cfg.mapsize == 3;
  if (size_changed) apply_size_mode();
  if (conectado) actualizar_mapa();  // mapa_cargado restarts Timer_auto
  if (to_adjustable) {
    tmr_close.start();
  } else if (size_changed) {
    SetTheRegion();
    centre_on_screen();
  }
}

// "Ruta": the route editor works on a copy of the route and its settings; "Aceptar" hands them
// back, and a route shown on the moving map is drawn again as it now is.
void MainWindow::abrir_editor_ruta(QWidget* parent, bool conec, const std::string& posact) {
  RouteEditorInputs in;
  in.program_folder = carpeta;
  in.files_folder = QString::fromStdString(page_files_folder);
  in.maps = cfg.maps;
  in.page_load_limit_ms = options_.page_load_limit_ms;
  in.conectado = conec;
  if (conec) in.posicion_Actual = posact;
  in.ruta_ancho = cfg.ruta_ancho;
  in.ruta_color = cfg.ruta_color;
  in.ruta_trans = cfg.ruta_trans.empty() ? std::string("1") : cfg.ruta_trans;
  in.velo = cfg.velo;
  in.cons = cfg.cons;
  in.ruta_actual = ruta_ruta;
  in.mensaje = [this](const QString& text) { mostrar_mensaje(text); };
  in.on_error = [this](const QString& text) { ApplicationEvents1Exception(text); };
  QPointer<RouteEditor> editor = new RouteEditor(std::move(in), parent);
  editor->exec();
  if (!editor) return;
  const std::optional<RouteEditorResult> r = editor->result();
  delete editor;
  if (!r) return;
  ruta_ruta = r->ruta_ruta;
  cfg.ruta_ancho = r->ruta_ancho;
  cfg.ruta_color = r->ruta_color;
  cfg.ruta_trans = r->ruta_trans;
  cfg.velo = r->velo;
  cfg.cons = r->cons;
  if (conectado && !cfg.MapaSK && cfg.ruta_visible) {
    send_statement(std::string(clear_ruta_statement));
    if (route_is_empty(ruta_ruta))
      cfg.ruta_visible = false;
    else
      send_route();
  }
  publicar_estado_tableta();
}

void MainWindow::abrir_espacios_aereos(QWidget* parent) {
  AirspaceSelectionInputs in;
  in.program_folder = carpeta;
  in.files_folder = QString::fromStdString(page_files_folder);
  in.maps = cfg.maps;
  in.omitidos = airspaces_omitidos;
  in.on_error = [this](const QString& text) { ApplicationEvents1Exception(text); };
  AirspaceSelectionWindow window(airspaces, std::move(in), parent);
  window.exec();
  publicar_estado_tableta();
}

void MainWindow::acercade_apliClick() {
  AboutWindow window(options_.version, QString::fromStdString(page_files_folder), this);
  window.exec();
}

void MainWindow::Timer_sonidoTimer() {
  Timer_sonido.stop();
  pulsaboton = false;
  if (sound_cues) sound_cues->play_random();
}

}  // namespace tolvex

// Start-up, controls, messages, the error handler and the close sequence of the main window.
#include "shell/main_window.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QStackedLayout>
#include <QSystemTrayIcon>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtWebEngineWidgets/QWebEngineView>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "dialogs/sound_cues.h"
#include "base/accessibility_qt.h"
#include "map/browser_bridge.h"
#include "map/page_load_watchdog_qt.h"
#include "pages/embedded_pages.h"
#include "platform/platform.h"
#include "base/diagnostic_log.h"
#include "base/ini_file.h"
#include "base/number_format.h"
#include "base/text_file.h"
#include "simlink/iocp_client_qt.h"
#include "shell/map_notice_qt.h"
#include "shell/skin_surface_widget.h"
#include "simlink/xgps_client_qt.h"
#include "tablet/tablet_server_qt.h"

namespace tolvex {

namespace {

QString folder_with_separator(const QString& given) {
  QString folder = given.isEmpty() ? QCoreApplication::applicationDirPath() : given;
  folder = QDir(folder).absolutePath();
  if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  return folder;
}

// The executable's folder holds the page files. A program folder that still holds copies of its
// own (as folders were set up before) serves when the executable's folder lacks them.
std::string page_files_folder_of(const MainWindowOptions& options, const std::string& carpeta) {
  const QString folder = folder_with_separator(options.page_files_folder);
  const QString marker = QStringLiteral("tolvex_maps.js");
  if (options.page_files_folder.isEmpty() && !QFileInfo::exists(folder + marker) &&
      QFileInfo::exists(QString::fromStdString(carpeta) + marker))
    return carpeta;
  return folder.toStdString();
}

char system_decimal_separator() {
  const QString point = QLocale::system().decimalPoint();
  return point.isEmpty() || point.at(0).unicode() > 127 ? '.' : static_cast<char>(point.at(0).unicode());
}

}  // namespace

LinkSettings link_settings_of(const Settings& s) {
  return {s.iocpserver, s.link_kind == LinkKind::xgps, s.dirip, s.puerto, s.puertoudp};
}

std::optional<std::pair<int, int>> program_version() {
#if defined(TOLVEX_VERSION_MAJOR) && defined(TOLVEX_VERSION_MINOR)
  return std::make_pair(TOLVEX_VERSION_MAJOR, TOLVEX_VERSION_MINOR);
#else
  return std::nullopt;
#endif
}

MainWindow::MainWindow(MainWindowOptions options) : options_(std::move(options)) {
  // FormCreate. High-DPI scaling is Qt's own, so the window needs no scaling step of its own.
  carpeta = folder_with_separator(options_.folder).toStdString();
  page_files_folder = page_files_folder_of(options_, carpeta);
  decimal_separator = options_.decimal_separator.value_or(system_decimal_separator());
  setObjectName(QStringLiteral("MainWindow"));
  build_controls();

  ZoomSK = 3;
  ZoomGL = 9;
  conectado = false;
  pulsaboton = false;
  tipogooglemap = 1;

  std::vector<std::string> notes;
  {
    const IniFile ini(carpeta + "CONFIG.INI");
    cfg = load_settings(ini, decimal_separator, &notes);
  }
  enlace_guardado_ = link_settings_of(cfg);
  set_follow_picture();
  Timer_auto.setInterval(cfg.intervalo_ms);
  for (const std::string& note : notes) escribir_log(note);
  for (const std::string& line : options_.start_log) escribir_log(line);

  page_watchdog_ = new PageLoadWatchdog(options_.page_load_limit_ms, this);
  connect(page_watchdog_, &PageLoadWatchdog::expired, this, &MainWindow::page_load_expired);

  IdTCPClient = std::make_unique<IocpClient>();
  IdTCPClient->set_disconnected_callback([this] { IdTCPClientDisconnected(); });
  IdTCPClient->set_interrupt_check([] { return termination_requested(); });
  xgps_client = std::make_unique<XgpsClient>();

  try {
    InformeEspacios informe;
    airspaces = load_catalogue(carpeta, &informe);
    airspaces_omitidos = informe.omitidos;
    log_airspace_file(informe);
  } catch (const std::exception& error) {
    // The window is not on screen yet: report once the event loop runs.
    const QString text = QString::fromStdString(error.what());
    QTimer::singleShot(0, this, [this, text] { ApplicationEvents1Exception(text); });
  }

  hayact = false;
  minimizada = false;

  if (options_.register_hot_key) {
    HotKeyManager1 = GlobalHotKey::create(this);
    // Queued: the press comes from inside the platform's event filter, where an error would pass
    // by the application-wide handler; as a queued call it is an event like every other.
    connect(HotKeyManager1.get(), &GlobalHotKey::pressed, this, &MainWindow::HotKeyManager1HotKeyPressed,
            Qt::QueuedConnection);
    if (!HotKeyManager1->register_ctrl_shift_f12())
      escribir_log("Atajo Ctrl+Mayús+F12 no disponible: " + HotKeyManager1->last_error().toStdString());
  }
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  // The sound files are read once, now; files added later are heard after the next start.
  sound_cues = std::make_unique<SoundCues>(
      QString::fromStdString(carpeta),
      std::make_unique<MediaSoundPlayer>([this](const QString& text) { ApplicationEvents1Exception(text); }),
      [this](const std::string& line) { escribir_log(line); });
  primera_Vez = true;
  setWindowTitle(QString::fromStdString(window_caption()));

  Timer_Inicio.setInterval(250);
  Timer_PuntosVFR.setInterval(1000);
  TimerEA.setInterval(150);
  Timer_sonido.setInterval(200);
  Timer_Liberar.setInterval(120000);
  tmr_close.setInterval(250);
  connect(&Timer_Inicio, &QTimer::timeout, this, &MainWindow::Timer_InicioTimer);
  connect(&Timer_auto, &QTimer::timeout, this, &MainWindow::Timer_autoTimer);
  connect(&Timer_PuntosVFR, &QTimer::timeout, this, &MainWindow::Timer_PuntosVFRTimer);
  connect(&TimerEA, &QTimer::timeout, this, &MainWindow::TimerEATimer);
  connect(&Timer_sonido, &QTimer::timeout, this, &MainWindow::Timer_sonidoTimer);
  connect(&Timer_Liberar, &QTimer::timeout, this, &MainWindow::Timer_LiberarTimer);
  connect(&tmr_close, &QTimer::timeout, this, [this] { tmr_close.stop(); close(); });
  link_recovery_ = LinkRecovery(options_.link_retry_ms);
  link_clock_.start();
  reconnect_timer_.setSingleShot(true);
  connect(&reconnect_timer_, &QTimer::timeout, this, &MainWindow::reconnect_now);
  Timer_Liberar.start();
  Timer_tableta.setInterval(1000);
  connect(&Timer_tableta, &QTimer::timeout, this, &MainWindow::Timer_tabletaTimer);
  // Once the event loop runs: a port that cannot be had is told in a message.
  if (cfg.servidor_web) QTimer::singleShot(0, this, [this] { aplicar_vista_tableta(); });

  // The "Normal" skin shapes the window until the first activation applies the size mode.
  load_skins();
  Image1 = Image1a;
  SetTheRegion();
  apply_size_mode();
  Timer_Inicio.start();
}

MainWindow::~MainWindow() = default;

std::string MainWindow::window_caption() const {
  std::string version;
  if (options_.version) {
    version = "v" + format_pattern(options_.version->first, "#0", '.') + "." +
              format_pattern(options_.version->second, "00", '.');
  }
  return "Tolvex " + version + " - Velmora Airlines";
}

QToolButton* MainWindow::make_button(const char* name, const QString& hint, const QString& picture, QSize size) {
  auto* button = new QToolButton;
  button->setObjectName(QString::fromLatin1(name));
  button->setToolTip(hint);
  button->setAutoRaise(true);
  button->setFixedSize(size);
  const QString file = QString::fromStdString(page_files_folder) + QStringLiteral("iconos/") + picture + QStringLiteral(".png");
  const QIcon icon(file);
  if (!icon.availableSizes().isEmpty()) {
    button->setIcon(icon);
    button->setIconSize(size - QSize(4, 4));
  } else {
    button->setText(hint.left(2));  // the pictures are missing: keep the button usable
  }
  return button;
}

void MainWindow::build_controls() {
  surface_ = new SkinSurface;
  QWidget* client = surface_;
  client->setObjectName(QStringLiteral("cliente"));
  client->setStyleSheet(QStringLiteral(
      "#pp { background: #dfe4ea; border-top: 1px solid #8a96a3; }"
      "#Panel1 { background: #ffffff; }"));
  setCentralWidget(client);

  fondo = new QWidget(client);
  fondo->setObjectName(QStringLiteral("fondo"));
  auto* fondo_layout = new QVBoxLayout(fondo);
  fondo_layout->setContentsMargins(0, 0, 0, 0);
  fondo_layout->setSpacing(0);

  Panel1 = new QFrame;
  Panel1->setObjectName(QStringLiteral("Panel1"));
  auto* stack = new QStackedLayout(Panel1);
  Panel1_caption = new QLabel(QStringLiteral("Cargando mapa, por favor espere ..."));
  Panel1_caption->setAlignment(Qt::AlignCenter);
  Panel1_caption->setTextFormat(Qt::PlainText);
  stack->addWidget(Panel1_caption);
  link_notice = new MapNotice(Panel1);
  fondo_layout->addWidget(Panel1, 1);

  pp = new QFrame;
  pp->setObjectName(QStringLiteral("pp"));
  auto* bar = new QHBoxLayout(pp);
  bar->setContentsMargins(1, 1, 1, 1);
  bar->setSpacing(0);
  const QSize big(35, 36);
  conexion = make_button("conexion", QStringLiteral("Conectar/Desconectar Flight Simulator"), QStringLiteral("conexion"), big);
  actualizar = make_button("actualizar", QStringLiteral("Actualizar mapa"), QStringLiteral("actualizar"), big);
  cambiar = make_button("cambiar", QStringLiteral("Cambiar tipo de mapa"), QStringLiteral("cambiar"), big);
  bpuntosvfr = make_button("bpuntosvfr", QStringLiteral("Mostrar puntos VFR"), QStringLiteral("bpuntosvfr"), big);
  zoomin = make_button("zoomin", QStringLiteral("Acercar"), QStringLiteral("zoomin"), big);
  zoomout = make_button("zoomout", QStringLiteral("Alejar"), QStringLiteral("zoomout"), big);
  bruta = make_button("bruta", QStringLiteral("Mostrar/Ocultar Ruta "), QStringLiteral("bruta"), big);
  bespacios = make_button("bespacios", QStringLiteral("Mostrar/Ocultar espacios aéreos"), QStringLiteral("bespacios"), big);
  mapnormal = make_button("mapnormal", QStringLiteral("Mapa normal"), QStringLiteral("mapnormal"), big);
  mapsatelite = make_button("mapsatelite", QStringLiteral("Mapa satélite"), QStringLiteral("mapsatelite"), big);
  maphibrido = make_button("maphibrido", QStringLiteral("Mapa híbrido"), QStringLiteral("maphibrido"), big);
  maprelieve = make_button("maprelieve", QStringLiteral("Mapa relieve"), QStringLiteral("maprelieve"), big);
  seguimiento = make_button("seguimiento", QStringLiteral("Modo seguimiento/desplazamiento"), QStringLiteral("seguimiento0"), big);
  configurar = make_button("configurar", QStringLiteral("Configurar"), QStringLiteral("configurar"), big);
  // zoomin shares its place with bpuntosvfr, zoomout with bruta: only one of each pair is ever shown.
  for (QToolButton* b : {conexion, actualizar, cambiar, bpuntosvfr, zoomin, bruta, zoomout, bespacios, mapnormal,
                         mapsatelite, maphibrido, maprelieve, seguimiento, configurar})
    bar->addWidget(b);
  // The switches look pressed while on, and say so to screen readers (show_toggle_states).
  for (QToolButton* b : {bpuntosvfr, bruta, bespacios, seguimiento}) b->setCheckable(true);
  pp_caption = new QLabel;
  pp_caption->setObjectName(QStringLiteral("pp_caption"));
  pp_caption->setAlignment(Qt::AlignCenter);
  pp_caption->setTextFormat(Qt::PlainText);
  bar->addWidget(pp_caption, 1);
  fondo_layout->addWidget(pp);

  const QSize small(16, 16);
  acercade_apli = make_button("acercade_apli", QStringLiteral("Acerca de ..."), QStringLiteral("acercade_apli"), small);
  minimizar_apli = make_button("minimizar_apli", QStringLiteral("Minimizar"), QStringLiteral("minimizar_apli"), small);
  cerrar_apli = make_button("cerrar_apli", QStringLiteral("Cerrar"), QStringLiteral("cerrar_apli"), small);
  for (QToolButton* b : {acercade_apli, minimizar_apli, cerrar_apli}) b->setParent(client);

  connect(conexion, &QToolButton::clicked, this, &MainWindow::conexionClick);
  connect(actualizar, &QToolButton::clicked, this, &MainWindow::ActualizarClick);
  connect(cambiar, &QToolButton::clicked, this, &MainWindow::cambiarClick);
  connect(bpuntosvfr, &QToolButton::clicked, this, &MainWindow::bpuntosvfrClick);
  connect(zoomin, &QToolButton::clicked, this, &MainWindow::zoominClick);
  connect(zoomout, &QToolButton::clicked, this, &MainWindow::zoomoutClick);
  connect(bruta, &QToolButton::clicked, this, &MainWindow::brutaClick);
  connect(bespacios, &QToolButton::clicked, this, &MainWindow::bespaciosClick);
  connect(mapnormal, &QToolButton::clicked, this, &MainWindow::mapnormalClick);
  connect(mapsatelite, &QToolButton::clicked, this, &MainWindow::mapsateliteClick);
  connect(maphibrido, &QToolButton::clicked, this, &MainWindow::maphibridoClick);
  connect(maprelieve, &QToolButton::clicked, this, &MainWindow::maprelieveClick);
  connect(seguimiento, &QToolButton::clicked, this, &MainWindow::seguimientoClick);
  connect(configurar, &QToolButton::clicked, this, &MainWindow::configurarClick);
  connect(cerrar_apli, &QToolButton::clicked, this, &MainWindow::cerrar_apliClick);
  connect(minimizar_apli, &QToolButton::clicked, this, &MainWindow::minimizar_apliClick);
  connect(acercade_apli, &QToolButton::clicked, this, &MainWindow::acercade_apliClick);

  CoolTrayIcon = new QSystemTrayIcon(this);
  CoolTrayIcon->setToolTip(QStringLiteral("Tolvex"));
  const QIcon app_icon(QString::fromStdString(page_files_folder) + QStringLiteral("tolvex.png"));
  CoolTrayIcon->setIcon(app_icon);
  setWindowIcon(app_icon);
  // A double click restores; a single click (reaching for another icon) does not. Trays that
  // report no double clicks (the desktop's notifier service) still offer the menu.
  connect(CoolTrayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::DoubleClick) CoolTrayIconDblClick();
  });
  auto* tray_menu = new QMenu(this);
  tray_menu->setObjectName(QStringLiteral("menu_bandeja"));
  tray_menu->addAction(QStringLiteral("Mostrar Tolvex"), this, &MainWindow::CoolTrayIconDblClick);
  CoolTrayIcon->setContextMenu(tray_menu);

  recreate_browser();
  mostrar_botones(false);
  name_controls(this);
}

void MainWindow::set_follow_picture() {
  const QString file = QString::fromStdString(page_files_folder) + QStringLiteral("iconos/seguimiento") +
                       (cfg.auto_ ? QStringLiteral("1") : QStringLiteral("0")) + QStringLiteral(".png");
  const QIcon icon(file);
  if (!icon.availableSizes().isEmpty()) seguimiento->setIcon(icon);
  seguimiento->setProperty("imagen", cfg.auto_ ? 1 : 0);
  seguimiento->setChecked(cfg.auto_);
}

void MainWindow::show_toggle_states() {
  set_follow_picture();
  bpuntosvfr->setChecked(cfg.puntosvfr);
  bruta->setChecked(cfg.ruta_visible);
  bespacios->setChecked(cfg.lespaciosaereos);
}

bool MainWindow::event(QEvent* e) {
  // A bare X server never activates a window: the first show counts as the first activation too.
  if (e->type() == QEvent::WindowActivate || e->type() == QEvent::Show) FormActivate();
  if (e->type() == QEvent::Resize && cfg.mapsize == 3 && fondo) fondo->setGeometry(centralWidget()->rect());
  return QMainWindow::event(e);
}

void MainWindow::FormActivate() {
  if (!primera_Vez) return;
  primera_Vez = false;
  apply_size_mode();
  placement_done_ = true;
  SetTheRegion();
}

void MainWindow::mostrar_mensaje(const QString& texto) {
  if (closing_unattended()) {
    std::fprintf(stderr, "Tolvex: %s\n", texto.toLocal8Bit().constData());
    return;
  }
  if (message_hook) {
    message_hook(texto);
    return;
  }
  QMessageBox mensajes(this);
  mensajes.setWindowTitle(QStringLiteral("Tolvex - Información"));
  mensajes.setIcon(QMessageBox::Information);
  mensajes.setTextFormat(Qt::PlainText);  // error texts quote what a server or a file sent
  mensajes.setText(texto);
  mensajes.addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole);
  mensajes.exec();
}

void MainWindow::mostrar_botones(bool on) {
  if (on) {
    for (QToolButton* b : {zoomin, zoomout}) b->setVisible(cfg.MapaSK);
    for (QToolButton* b : {bpuntosvfr, bruta, bespacios, mapnormal, maphibrido, mapsatelite, maprelieve, seguimiento})
      b->setVisible(!cfg.MapaSK);
    actualizar->show();
    cambiar->show();
  } else {
    for (QToolButton* b : {bpuntosvfr, bruta, bespacios, actualizar, cambiar, mapnormal, maphibrido, mapsatelite,
                           maprelieve, seguimiento, zoomin, zoomout})
      b->hide();
  }
  show_toggle_states();
  conexion->show();
  configurar->show();
}

void MainWindow::log_airspace_file(const InformeEspacios& informe) const {
  if (informe.estandar)
    escribir_log("airspaces.txt leído como OpenAir estándar: " + std::to_string(airspaces.size()) +
                 " espacios aéreos, " + std::to_string(informe.omitidos) + " omitidos");
  for (const AvisoLectura& aviso : informe.avisos)
    escribir_log("airspaces.txt, línea " + std::to_string(aviso.linea) + ": " + aviso.motivo);
  if (informe.omitidos > informe.avisos.size())
    escribir_log("airspaces.txt: " + std::to_string(informe.omitidos - informe.avisos.size()) +
                 " espacios aéreos omitidos más");
}

void MainWindow::escribir_log(const std::string& mensaje) const {
  if (cfg.debug) ::tolvex::escribir_log(carpeta, mensaje);
}

void MainWindow::ApplicationEvents1Exception(const QString& error_text) {
  mostrar_mensaje(QStringLiteral("Opps. Se produjo una excepción no controlada: ") + error_text);
  escribir_log("Excepción: " + error_text.toStdString());
}

void MainWindow::Timer_InicioTimer() {
  Timer_Inicio.stop();
  pp_caption->setText(QStringLiteral("Cargando. Por favor, espere ..."));
  busy_cursor_.set(true);
  mostrar_inicio();
}

void MainWindow::mostrar_inicio() {
  // Not a blank page: the map panel says what to do.
  if (bridge)
    bridge->show_page("inicio.html", std::string(embedded_page("start_page.html")),
                      QString::fromStdString(page_files_folder));
}

void MainWindow::Timer_LiberarTimer() { trim_working_set(); }

void MainWindow::cerrar_apliClick() { close(); }

}  // namespace tolvex

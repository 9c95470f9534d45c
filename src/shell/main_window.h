#pragma once
// The main window is the program: it holds the settings, the link to the simulator, the last
// aircraft sample, the airspace catalogue and the map page, and owns the timers that drive them.
#include <QElapsedTimer>
#include <QImage>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/busy_cursor_qt.h"
#include "dialogs/config_rules.h"
#include "overlays/airspace_catalogue.h"
#include "shell/settings.h"
#include "simlink/link_recovery.h"

class QFrame;
class QLabel;
class QSystemTrayIcon;
class QToolButton;
class QWebEngineView;

namespace tolvex {

class BrowserBridge;
class GlobalHotKey;
class IocpClient;
class MapNotice;
class SoundCues;
class PageLoadWatchdog;
class XgpsClient;
class SkinSurface;
class TabletServer;

struct MainWindowOptions {
  QString folder;                                  // program folder; empty: the executable's
  QString page_files_folder;                       // page scripts, Leaflet, pictures; empty: the executable's
  int page_load_limit_ms = 15000;                  // a map page not loaded by then is stopped
  int link_retry_ms = 5000;                        // a link that went is tried again at most this often
  bool connect_on_start = false;                   // press `conexion` once the blank page has loaded
  std::optional<std::pair<int, int>> version;      // major, minor of the program file
  std::optional<char> decimal_separator;           // default: the system locale's
  bool register_hot_key = true;
  std::vector<std::string> start_log;              // lines for the log once DEBUG is known
};

// The link settings of `s` (kind, host, ports).
LinkSettings link_settings_of(const Settings& s);

// The program's own version, as the build compiled it in.
std::optional<std::pair<int, int>> program_version();

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(MainWindowOptions options = {});
  ~MainWindow() override;

  // --- state (the other windows read and write these directly) ---
  std::string carpeta;  // program folder with a trailing separator
  // Folder of the page files (scripts, Leaflet, icons) and toolbar pictures: the executable's,
  // with a trailing separator. Windows with a map page take their files from here.
  std::string page_files_folder;
  char decimal_separator = '.';
  Settings cfg;         // the settings fields as CONFIG.INI holds them
  bool conectado = false;
  bool pulsaboton = false;
  bool minimizada = false;
  bool hayact = false;
  bool primera_Vez = false;
  double latitud = 0;
  double longitud = 0;
  std::int32_t heading = 0;
  std::int32_t tipogooglemap = 1;
  std::int32_t ZoomSK = 3;
  std::int32_t ZoomGL = 9;
  std::string ruta_ruta;
  std::vector<TAirSpace> airspaces;
  std::size_t airspaces_omitidos = 0;  // airspaces of the file left out because a record did not read

  // --- controls ---
  QWidget* fondo = nullptr;
  QFrame* Panel1 = nullptr;
  QLabel* Panel1_caption = nullptr;
  QFrame* pp = nullptr;
  QLabel* pp_caption = nullptr;
  MapNotice* link_notice = nullptr;  // the caption over the map for link notices
  QWebEngineView* webbrowser1 = nullptr;
  BrowserBridge* bridge = nullptr;
  QToolButton *conexion, *actualizar, *cambiar, *bpuntosvfr, *zoomin, *zoomout, *bruta, *bespacios, *mapnormal,
      *mapsatelite, *maphibrido, *maprelieve, *seguimiento, *configurar;
  QToolButton *cerrar_apli, *minimizar_apli, *acercade_apli;
  QSystemTrayIcon* CoolTrayIcon = nullptr;
  std::unique_ptr<GlobalHotKey> HotKeyManager1;
  std::unique_ptr<IocpClient> IdTCPClient;
  std::unique_ptr<SoundCues> sound_cues;  // the MP3 files of the program folder and their player
  std::unique_ptr<XgpsClient> xgps_client;  // the network GPS link (TIPOCONEXION "X")

  // The skins of the fixed-size modes ("Normal", "Medio", "Grande") and the one shown.
  QImage Image1a, Image2, Image3, Image1;

  QTimer Timer_Inicio, Timer_auto, Timer_PuntosVFR, TimerEA, Timer_sonido, Timer_Liberar, tmr_close;

  // The tablet view ([WEB] SERVIDOR): null while off. Timer_tableta reads the dynamic route of
  // the map page for it while tablets are open.
  std::unique_ptr<TabletServer> tablet_server;
  QTimer Timer_tableta;

  // --- operations ---
  void mostrar_mensaje(const QString& texto);
  void mostrar_botones(bool on);
  void escribir_log(const std::string& mensaje) const;  // only when DEBUG is on
  void log_airspace_file(const InformeEspacios& informe) const;
  bool conectar();
  // Closes the simulator link with its log lines; throws when the link fails to close.
  void cerrar_enlace();
  void leer_posicion();
  // The link's part of leer_posicion: one poll into latitud, longitud, heading; false when it
  // failed and the map must not be handed anything.
  bool leer_enlace();
  void actualizar_mapa();
  void mover_avion();
  void dibujar_ruta();
  std::string window_caption() const;
  // Cuts the window to the outline of Image1 in the fixed-size modes; nothing in "Ajustable".
  void SetTheRegion();
  // Size, skin, map panel, title buttons and frame of the size mode `mapsize`; centres the window.
  void apply_size_mode();
  // Tablet view (main_window_tablet.cpp): start or stop it as cfg says, telling the pilot when
  // its port cannot be had; a new key (made, saved, applied; empty when it could not be saved);
  // what the tablets draw, after any change of it, and each poll's sample.
  void aplicar_vista_tableta();
  std::string nueva_clave_tableta();
  std::vector<std::string> direcciones_tableta(std::int32_t puerto, const std::string& clave) const;
  void publicar_estado_tableta();
  void publicar_muestra_tableta();
  void Timer_tabletaTimer();

  // --- handlers ---
  void Timer_InicioTimer();
  void mapa_cargado(bool ok);
  void FormActivate();
  void TimerEATimer();
  void Timer_LiberarTimer();
  void Timer_sonidoTimer();
  void Timer_autoTimer();
  void Timer_PuntosVFRTimer();
  void minimizar_apliClick();
  void CoolTrayIconDblClick();
  void HotKeyManager1HotKeyPressed();
  void cerrar_apliClick();
  void acercade_apliClick();
  void conexionClick();
  void ActualizarClick();
  void IdTCPClientDisconnected();
  void cambiarClick();
  void mapnormalClick();
  void maphibridoClick();
  void mapsateliteClick();
  void maprelieveClick();
  void zoominClick();
  void zoomoutClick();
  void seguimientoClick();
  void bpuntosvfrClick();
  void brutaClick();
  // Airspaces on the map on or off (VERAIRSPACES), without a rebuild.
  void bespaciosClick();
  void configurarClick();
  // The application-wide error handler: message to the pilot, then the log.
  void ApplicationEvents1Exception(const QString& error_text);

  // A close that nobody watches (a termination signal): open modal windows are closed first,
  // nothing waits for a person any more (messages go to standard error; failures are logged
  // as always), and the window closes even when the link fails to close.
  void close_unattended();
  bool closing_unattended() const;

  // Tests see every message instead of a modal box when this is set.
  std::function<void(const QString&)> message_hook;
  // Tests see every notice shown over the map (it is shown as well).
  std::function<void(const QString&)> notice_hook;
  // Polls give samples (the link is live and the simulator sends).
  bool receiving() const { return receiving_; }
  // True while the window is hidden in the tray (or minimised where there is no tray).
  bool in_tray() const { return in_tray_; }

 signals:
  void map_page_loaded(bool connected);
  // Polls started failing (false) or give samples again (true), also when connecting or ending.
  void link_state_changed(bool receiving);
  // The close sequence has run and the window is going away.
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void build_controls();
  void close_modal_windows();
  QToolButton* make_button(const char* name, const QString& hint, const QString& picture, QSize size);
  void set_follow_picture();
  // The switch buttons (follow, VFR points, route, airspaces) pressed exactly while on.
  void show_toggle_states();
  void load_skins();
  void centre_on_screen();
  // Where the window is now, into cfg.ventana for the close-time save.
  void remember_placement();
  void hide_to_tray();
  void restore_from_tray();
  void restored();
  void recreate_browser();
  // The page of a map panel without a link: what to press to begin.
  void mostrar_inicio();
  void page_load_expired(bool first);
  // Building the page failed: the pilot hears of it once per streak, and polling goes on.
  void page_failed(const std::string& reason);
  void connect_steps();
  bool poll_iocp();
  bool poll_xgps();
  // The link keeps going by itself: one notice when polls start failing and one when they give
  // samples again; a connection that went is made again in the background.
  void show_notice(const QString& text, int hide_after_ms = 0);
  void link_poll_succeeded();
  void link_poll_failed(const std::string& reason, bool link_down);
  void link_down_poll();
  void reset_link();
  void schedule_reconnect();
  void reconnect_now();
  void reconnect_finished(const std::string& error);
  void set_receiving(bool receiving);
  void send_statement(const std::string& statement);
  void send_route();
  int interval_from_text() const;
  // Configuration window: save (and take over) the pilot's choice, then apply it.
  std::optional<ConfigDecision> guardar_configuracion(const ConfigChoice& choice);
  void confirmar_configuracion(const ConfigDecision& saved, std::int32_t old_mapsize);
  void abrir_editor_ruta(QWidget* parent, bool conec, const std::string& posact);
  void abrir_espacios_aereos(QWidget* parent);

  MainWindowOptions options_;
  // The link settings CONFIG.INI holds for the next start (the running ones are in cfg).
  LinkSettings enlace_guardado_;
  PollFailureStreak page_failures_;  // pages that could not be built or loaded
  LinkRecovery link_recovery_;
  QTimer reconnect_timer_;
  QElapsedTimer link_clock_;
  QString link_state_text_;  // what the caption says while the streak lasts
  bool receiving_ = false;
  bool map_page_built_ = false;  // since connecting: the first good poll builds it otherwise
  PageLoadWatchdog* page_watchdog_ = nullptr;
  SkinSurface* surface_ = nullptr;
  bool in_tray_ = false;
  bool placement_done_ = false;  // the start-up placement from [VENTANA] has been applied
  BusyCursor busy_cursor_;
  bool connecting_ = false;
  bool connect_pending_ = false;
  bool close_pending_ = false;  // a close asked for while connecting runs once that is done
  bool unattended_close_ = false;
};

}  // namespace tolvex

#pragma once
// The route editor: the pilot draws the route on the window's own map page, looks up addresses,
// loads and saves route files, sets the look of the route line, and starts the flight plan.
// "Aceptar" hands the route and its settings back to the opener.
#include <QDialog>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/busy_cursor_qt.h"
#include "map/map_settings.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QWebEngineView;

namespace tolvex {

class BrowserBridge;
class PageLoadWatchdog;

// What the opener hands in: where the files are, and the main window's route and its settings.
struct RouteEditorInputs {
  std::string program_folder;  // with a trailing separator: RutaImp.txt goes there
  QString files_folder;        // the executable's folder: page scripts, Leaflet, pictures
  MapSettings maps;
  int page_load_limit_ms = 15000;

  bool conectado = false;
  std::string posicion_Actual;  // "latitude,longitude" when connected
  std::int32_t ruta_ancho = 4;
  std::int32_t ruta_color = 10;  // index into the sorted colour list, -1 for none
  std::string ruta_trans = "1";  // the transparency item chosen ("1" when empty)
  std::string velo = "120";
  std::string cons = "12,5";
  std::string ruta_actual;  // the route text

  // Messages to the pilot (a modal box by default).
  std::function<void(const QString&)> mensaje;
  // Errors no one else handles (a file that cannot be read or written): the application's handler.
  std::function<void(const QString&)> on_error;
  // The file to load (guardar false) or save (true); empty when the pilot cancels. Default: the
  // file dialogs.
  std::function<QString(QWidget* parent, bool guardar)> elegir_fichero;
  // Opens an exported flight plan in the desktop's text editor; false when none could be started.
  std::function<bool(const QString& path)> abrir_texto;
};

// What "Aceptar" hands back to the main window.
struct RouteEditorResult {
  std::string ruta_ruta;
  std::int32_t ruta_ancho = 4;
  std::int32_t ruta_color = -1;
  std::string ruta_trans;
  std::string velo;
  std::string cons;
};

class RouteEditor : public QDialog {
  Q_OBJECT

 public:
  explicit RouteEditor(RouteEditorInputs inputs, QWidget* parent = nullptr);
  ~RouteEditor() override;

  // Set once "Aceptar" has closed the window.
  const std::optional<RouteEditorResult>& result() const { return result_; }
  BrowserBridge* bridge() const { return bridge_; }
  // The page has loaded, the handed-in route is drawn and the buttons work.
  bool ready() const { return ready_; }
  bool calculando() const { return calculando_; }
  // Time the last flight plan spent pausing for the elevation service, in milliseconds.
  qint64 tiempo_esperado_ms() const { return esperado_ms_; }

  // --- state ---
  bool primera_vez = true;
  bool abriendo = true;
  std::int32_t tipomapa = 1;
  bool conectado = false;
  std::string posicion_Actual;
  std::string ruta_actual;
  bool activo = false;

  // --- controls ---
  QWebEngineView* WebBrowser1 = nullptr;
  QLineEdit *Edit3 = nullptr, *Edit1 = nullptr, *Edit4 = nullptr, *Edit2 = nullptr;
  QComboBox *ComboBox1 = nullptr, *ComboBox2 = nullptr, *multptos = nullptr;
  QPushButton *Button7 = nullptr, *Button3 = nullptr, *Button4 = nullptr, *Button10 = nullptr;
  QPushButton *mapnormal = nullptr, *mapsatelite = nullptr, *maphybrido = nullptr, *maprelieve = nullptr;
  QPushButton *btpuntos = nullptr, *Button5 = nullptr, *Button6 = nullptr, *Button11 = nullptr;
  QPushButton *Button2 = nullptr, *Button8 = nullptr, *Button1 = nullptr, *Button9 = nullptr;
  QFrame* Panel7 = nullptr;
  QLabel *Label7 = nullptr, *Label8 = nullptr, *Label9 = nullptr;
  QTimer Timer_cargaruta, Timer2;

  // --- handlers ---
  void FormActivate();
  void Button7Click();
  void Button3Click();
  void Button4Click();
  void mapnormalClick(int tag);
  void btpuntosClick();
  void Button5Click();
  void Button6Click();
  void Button11Click();
  void Button2Click();
  void Button8Click();
  void Button1Click();
  void Button9Click();
  void Button10Click();
  void Edit3Exit();
  void Edit4Exit();
  void Edit2Exit();
  void Timer_cargarutaTimer();
  void Timer2Timer();

  // --- operations ---
  void crear_pagina(const std::string& centro, const std::string& zoom);
  void pagina_cargada();
  // Pauses for `ms` keeping the window alive; with hasta_respuesta it ends as soon as the page's
  // elevation answer (Listo "1" or "-1") is there. False when the window is closing.
  bool esperar(int ms, bool hasta_respuesta = false);

 protected:
  bool event(QEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void done(int result) override;

 private:
  class PlanPage;

  void build_controls();
  void fill(const RouteEditorInputs& in);
  void run(const std::string& statement);
  std::string read(const char* field);
  std::string ruta_de_pagina();
  void mostrar_espera(const QString& titulo);
  void ocultar_espera();
  void set_buttons_enabled(bool on);
  void mensaje(const QString& text);
  void error(const std::exception& e);
  void poll_listo();

  RouteEditorInputs inputs_;
  BrowserBridge* bridge_ = nullptr;
  PageLoadWatchdog* watchdog_ = nullptr;
  QTimer listo_poll_;
  bool listo_poll_pending_ = false;
  unsigned listo_generation_ = 0;  // one per pause: late answers of an earlier one are dropped
  bool page_done_ = false;
  bool ready_ = false;
  BusyCursor busy_cursor_;
  bool calculando_ = false;
  qint64 esperado_ms_ = 0;
  bool cerrando_ = false;             // the window was asked to close during a computation
  std::optional<int> pending_done_;   // ... with this result, applied once the computation ends
  std::optional<RouteEditorResult> result_;
};

}  // namespace tolvex

// The route editor's window: its controls, its page, and the small handlers that each send one
// statement to the page. Files, "Aceptar" and the flight plan are in route_editor_window_actions.cpp.
#include "route/route_editor_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWebEngineView>

#include "base/accessibility_qt.h"
#include "base/dialog_font_qt.h"
#include "base/message_box_qt.h"
#include "base/placed_controls_qt.h"
#include "base/number_format.h"
#include "base/text_file.h"
#include "map/browser_bridge.h"
#include "map/colour_table.h"
#include "map/map_page_builder.h"
#include "map/page_load_watchdog_qt.h"
#include "map/view_statements.h"
#include "map/web_profile_qt.h"
#include "overlays/vfr_points.h"
#include "route/flight_plan_report_window.h"
#include "route/route_page_builder.h"

namespace tolvex {
namespace {

constexpr int kColumn = 688;  // the column right of the map, 208 pixels wide
constexpr int kColumnWidth = 208;
constexpr int kInner = 192;   // controls inside a group
constexpr int kListoPollMs = 5;  // a pause ends this soon after the elevation answer

QComboBox* list(const char* name, const QStringList& items, QWidget* parent, QRect where) {
  auto* c = new QComboBox(parent);
  c->setObjectName(QString::fromLatin1(name));
  c->addItems(items);
  c->setGeometry(where);
  return c;
}

QGroupBox* group(const char* name, const QString& title, QWidget* parent, int top, int height) {
  auto* g = new QGroupBox(title, parent);
  g->setObjectName(QString::fromLatin1(name));
  g->setGeometry(kColumn, top, kColumnWidth, height);
  return g;
}

void open_with_dialog_default(RouteEditorInputs& in) {
  if (!in.elegir_fichero)
    in.elegir_fichero = [](QWidget* parent, bool guardar) {
      const QString filter = QStringLiteral("Ficheros texto (*.txt)");
      return guardar ? QFileDialog::getSaveFileName(parent, QStringLiteral("Guardar ruta"), QString(), filter, nullptr,
                                                    QFileDialog::DontConfirmOverwrite)
                     : QFileDialog::getOpenFileName(parent, QStringLiteral("Cargar ruta"), QString(), filter);
    };
  if (!in.abrir_texto) in.abrir_texto = open_in_text_editor;
}

}  // namespace

RouteEditor::RouteEditor(RouteEditorInputs inputs, QWidget* parent) : QDialog(parent), inputs_(std::move(inputs)) {
  open_with_dialog_default(inputs_);
  setObjectName(QStringLiteral("RouteEditor"));
  setWindowTitle(QStringLiteral("Configuración de Ruta"));
  build_controls();
  fill(inputs_);
  name_controls(this);

  Timer_cargaruta.setInterval(1000);
  connect(&Timer_cargaruta, &QTimer::timeout, this, &RouteEditor::Timer_cargarutaTimer);
  Timer2.setSingleShot(true);
  connect(&Timer2, &QTimer::timeout, this, &RouteEditor::Timer2Timer);
  listo_poll_.setInterval(kListoPollMs);
  connect(&listo_poll_, &QTimer::timeout, this, &RouteEditor::poll_listo);
  watchdog_ = new PageLoadWatchdog(inputs_.page_load_limit_ms, this);
  connect(watchdog_, &PageLoadWatchdog::expired, this, [this] {
    const std::string host = page_script_host(false, inputs_.maps);
    mensaje(QStringLiteral("No se ha podido cargar el mapa: ") +
            (host.empty() ? QStringLiteral("la página no terminó de cargarse.")
                          : QString::fromStdString(host) + QStringLiteral(" no respondió.")));
    pagina_cargada();
  });
  connect(bridge_, &BrowserBridge::loaded, this, [this] { pagina_cargada(); });

  if (const QScreen* screen = parent ? parent->screen() : this->screen()) {
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
  }
}

RouteEditor::~RouteEditor() = default;

void RouteEditor::build_controls() {
  setFont(dialog_font(11));
  setFixedSize(899, 730);

  auto* mapa = new QFrame(this);
  mapa->setGeometry(0, 0, kColumn - 3, 730);
  auto* mapa_layout = new QVBoxLayout(mapa);
  mapa_layout->setContentsMargins(0, 0, 0, 0);
  WebBrowser1 = new QWebEngineView(mapa);
  WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
  configure_view(WebBrowser1);
  mapa_layout->addWidget(WebBrowser1);
  bridge_ = new BrowserBridge(WebBrowser1);

  auto* banner = new QLabel(this);
  banner->setGeometry(kColumn, 3, kColumnWidth, 40);
  banner->setScaledContents(true);
  banner->setPixmap(QPixmap(QDir(inputs_.files_folder).filePath(QStringLiteral("iconos/banner.png"))));

  auto* linea = group("GroupBox1", QStringLiteral("Configuración de línea"), this, 46, 118);
  Edit3 = placed_edit("Edit3", linea, {96, 18, 40, 21}, QStringLiteral("4"));
  placed_label(QStringLiteral("Ancho:"), linea, {8, 21, 86, 16}, Edit3);
  QStringList colores;
  for (const NamedColour& c : colour_table) colores << QString::fromUtf8(c.name.data(), static_cast<qsizetype>(c.name.size()));
  ComboBox1 = list("ComboBox1", colores, linea, {96, 42, 104, 21});
  placed_label(QStringLiteral("Color:"), linea, {8, 45, 86, 16}, ComboBox1);
  ComboBox2 = list("ComboBox2", {"0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9", "1"}, linea, {96, 66, 60, 21});
  placed_label(QStringLiteral("Transparencia:"), linea, {8, 69, 86, 16}, ComboBox2);
  Button7 = placed_button("Button7", QStringLiteral("Aplicar Formato"), QStringLiteral("Cambiar formato de la línea"), linea,
                   {8, 90, kInner, 24});

  auto* direcciones = group("GroupBox2", QStringLiteral("Localización de direcciones"), this, 168, 118);
  Edit1 = placed_edit("Edit1", direcciones, {8, 34, kInner, 21});
  placed_label(QStringLiteral("Dirección a buscar:"), direcciones, {8, 17, kInner, 16}, Edit1);
  Button3 = placed_button("Button3", QStringLiteral("Localizar y centrar mapa"),
                   QStringLiteral("Localizar dirección en el mapa y centrar posición"), direcciones, {8, 60, kInner, 24});
  Button4 = placed_button("Button4", QStringLiteral("Localizar y agregar punto"),
                   QStringLiteral("Localizar dirección en el mapa y añadir un punto de la ruta"), direcciones,
                   {8, 88, kInner, 24});

  auto* plan = group("GroupBox3", QStringLiteral("Plan de vuelo"), this, 290, 150);
  Edit4 = placed_edit("Edit4", plan, {150, 18, 50, 21}, QStringLiteral("120"));
  placed_label(QStringLiteral("Velocidad media (nudos):"), plan, {8, 21, 140, 16}, Edit4);
  Edit2 = placed_edit("Edit2", plan, {150, 42, 50, 21}, QStringLiteral("12,5"));
  placed_label(QStringLiteral("Consumo medio por hora:"), plan, {8, 45, 140, 16}, Edit2);
  QStringList veces;
  for (int i = 1; i <= 10; ++i) veces << QStringLiteral("x%1").arg(i);
  multptos = list("multptos", veces, plan, {150, 72, 50, 21});
  placed_label(QStringLiteral("Multiplicar el número de"), plan, {8, 68, 140, 16});
  placed_label(QStringLiteral("puntos para las alturas por:"), plan, {8, 84, 140, 16}, multptos);
  multptos->setAccessibleName(QStringLiteral("Multiplicar el número de puntos para las alturas por"));
  Button10 = placed_button("Button10", QStringLiteral("Generar Plan de Vuelo"), QStringLiteral("Calcular y mostrar Plan de Vuelo"),
                    plan, {8, 112, kInner, 28});

  auto* tipos = group("GroupBox4", QStringLiteral("Cambiar Tipo Mapa"), this, 444, 50);
  QFont negrita = font();
  negrita.setBold(true);
  const struct {
    const char* name;
    const char* text;
    const char* hint;
    int tag;
    QPushButton** control;
  } map_buttons[] = {{"mapnormal", "N", "Mapa Normal", 1, &mapnormal},
                     {"mapsatelite", "S", "Mapa Satélite", 3, &mapsatelite},
                     {"maphybrido", "H", "Mapa Híbrido", 2, &maphybrido},
                     {"maprelieve", "R", "Mapa Relieve", 4, &maprelieve}};
  int x = 8;
  for (const auto& m : map_buttons) {
    QPushButton* b = placed_button(m.name, QString::fromLatin1(m.text), QString::fromUtf8(m.hint), tipos, {x, 18, 42, 24});
    b->setFont(negrita);
    b->setAccessibleName(QString::fromUtf8(m.hint));  // "N" alone says nothing to a screen reader
    connect(b, &QPushButton::clicked, this, [this, tag = m.tag] { mapnormalClick(tag); });
    *m.control = b;
    x += 50;
  }

  auto* acciones = group("GroupBox5", QStringLiteral("Acciones"), this, 498, 228);
  const auto action = [acciones](const char* name, const char* text, const char* hint, int row) {
    return placed_button(name, QString::fromUtf8(text), QString::fromUtf8(hint), acciones, {8, 18 + 28 * row, kInner, 25});
  };
  btpuntos = action("btpuntos", "Mostrar/Ocultar Puntos VFR", "Mostrar/Ocultar Puntos VFR", 0);
  Button5 = action("Button5", "Borrar Último Punto", "Borrar último punto añadido", 1);
  Button6 = action("Button6", "Borrar Ruta", "Borrar la ruta completa", 2);
  Button11 = action("Button11", "Centrar Ruta", "Centra el mapa en la ruta definida", 3);
  Button2 = action("Button2", "Cargar Ruta desde fichero", "Cargar la ruta desde un fichero de texto", 4);
  Button8 = action("Button8", "Guardar ruta en fichero", "Guardar la ruta en un fichero de texto", 5);
  Button1 = placed_button("Button1", QStringLiteral("Aceptar"), QStringLiteral("Aceptar la ruta y salir"), acciones,
                   {8, 18 + 28 * 6 + 6, 94, 28});
  Button9 = placed_button("Button9", QStringLiteral("Cancelar"), QStringLiteral("Cancelar y salir"), acciones,
                   {106, 18 + 28 * 6 + 6, 94, 28});

  connect(Button7, &QPushButton::clicked, this, &RouteEditor::Button7Click);
  connect(Button3, &QPushButton::clicked, this, &RouteEditor::Button3Click);
  connect(Button4, &QPushButton::clicked, this, &RouteEditor::Button4Click);
  connect(Button10, &QPushButton::clicked, this, &RouteEditor::Button10Click);
  connect(btpuntos, &QPushButton::clicked, this, &RouteEditor::btpuntosClick);
  connect(Button5, &QPushButton::clicked, this, &RouteEditor::Button5Click);
  connect(Button6, &QPushButton::clicked, this, &RouteEditor::Button6Click);
  connect(Button11, &QPushButton::clicked, this, &RouteEditor::Button11Click);
  connect(Button2, &QPushButton::clicked, this, &RouteEditor::Button2Click);
  connect(Button8, &QPushButton::clicked, this, &RouteEditor::Button8Click);
  connect(Button1, &QPushButton::clicked, this, &RouteEditor::Button1Click);
  connect(Button9, &QPushButton::clicked, this, &RouteEditor::Button9Click);
  for (QLineEdit* e : {Edit3, Edit4, Edit2}) e->installEventFilter(this);

  // The wait panel over the upper groups, shown until the page is ready.
  Panel7 = new QFrame(this);
  Panel7->setObjectName(QStringLiteral("Panel7"));
  Panel7->setGeometry(kColumn, 46, kColumnWidth, 394);
  Panel7->setFrameStyle(QFrame::Panel | QFrame::Raised);
  Panel7->setLineWidth(2);
  Panel7->setStyleSheet(QStringLiteral("#Panel7 { background: #008080; } QLabel { color: white; }"));
  auto* espera = new QVBoxLayout(Panel7);
  espera->addStretch();
  Label7 = new QLabel(QStringLiteral("Cargando el mapa"), Panel7);
  Label8 = new QLabel(QStringLiteral("Por favor, espere ..."), Panel7);
  Label9 = new QLabel(QString(), Panel7);
  for (QLabel* l : {Label7, Label8, Label9}) {
    l->setAlignment(Qt::AlignCenter);
    espera->addWidget(l);
  }
  QFont titulo = font();
  titulo.setBold(true);
  Label7->setFont(titulo);
  Label7->setObjectName(QStringLiteral("Label7"));
  Label9->setObjectName(QStringLiteral("Label9"));
  espera->addStretch();
  Panel7->raise();
  set_buttons_enabled(false);
}

void RouteEditor::fill(const RouteEditorInputs& in) {
  conectado = in.conectado;
  posicion_Actual = in.posicion_Actual;
  ruta_actual = in.ruta_actual;
  Edit3->setText(QString::number(in.ruta_ancho));
  ComboBox1->setCurrentIndex(in.ruta_color >= 0 && in.ruta_color < ComboBox1->count() ? in.ruta_color : -1);
  ComboBox2->setCurrentIndex(ComboBox2->findText(QString::fromStdString(in.ruta_trans.empty() ? "1" : in.ruta_trans)));
  Edit4->setText(QString::fromStdString(in.velo));
  Edit2->setText(QString::fromStdString(in.cons));
  multptos->setCurrentIndex(0);
  primera_vez = true;
  abriendo = true;
}

bool RouteEditor::event(QEvent* e) {
  // First activation; a desktop without a window manager never activates, so showing counts too.
  if ((e->type() == QEvent::WindowActivate || e->type() == QEvent::Show) && primera_vez)
    QTimer::singleShot(0, this, &RouteEditor::FormActivate);
  return QDialog::event(e);
}

bool RouteEditor::eventFilter(QObject* watched, QEvent* e) {
  if (e->type() == QEvent::FocusOut) {
    if (watched == Edit3) Edit3Exit();
    if (watched == Edit4) Edit4Exit();
    if (watched == Edit2) Edit2Exit();
  }
  return QDialog::eventFilter(watched, e);
}

void RouteEditor::FormActivate() {
  if (!primera_vez) return;
  primera_vez = false;
  tipomapa = 1;
  crear_pagina(conectado ? posicion_Actual : std::string(kCentroRutaPorDefecto), "7");
}

void RouteEditor::crear_pagina(const std::string& centro, const std::string& zoom) {
  busy_cursor_.set(true);
  try {
    RoutePageInputs in;
    in.centro = centro;
    in.zoom = zoom;
    in.tipomapa = tipomapa;
    in.color = ComboBox1->currentText().toStdString();
    in.transparencia = ComboBox2->currentText().toStdString();
    in.ancho = Edit3->text().toStdString();
    in.puntos_vfr = load_vfr_statements(inputs_.program_folder);
    in.maps = inputs_.maps;
    const std::string page = build_route_page(in);
    watchdog_->watch(WebBrowser1);
    bridge_->show_page("pageruta.htm", page, inputs_.files_folder);
  } catch (const std::exception& e) {
    // The window still works without its map: the pilot can leave it.
    pagina_cargada();
    error(e);
  }
}

void RouteEditor::pagina_cargada() {
  if (page_done_) return;
  page_done_ = true;
  watchdog_->finished();
  if (abriendo && !trim(ruta_actual).empty()) {
    abriendo = false;
    Timer_cargaruta.start();  // the wait panel and the hourglass stay until it has run
    return;
  }
  busy_cursor_.set(false);
  ocultar_espera();
}

void RouteEditor::Timer_cargarutaTimer() {
  Timer_cargaruta.stop();
  run(std::string(clear_ruta_statement));
  for (const std::string& s : route_point_statements(ruta_actual).statements) run(s);
  ocultar_espera();
  busy_cursor_.set(false);
  run("centrarRuta();");
}

void RouteEditor::mostrar_espera(const QString& titulo) {
  Label7->setText(titulo);
  Label9->clear();
  Panel7->show();
  Panel7->raise();
  set_buttons_enabled(false);
}

void RouteEditor::ocultar_espera() {
  Label9->clear();
  Panel7->hide();
  ready_ = true;
  set_buttons_enabled(true);
}

void RouteEditor::set_buttons_enabled(bool on) {
  // "Cancelar" always works: it also ends a computation that waits.
  for (QPushButton* b : {Button7, Button3, Button4, Button10, mapnormal, mapsatelite, maphybrido, maprelieve, btpuntos,
                         Button5, Button6, Button11, Button2, Button8, Button1})
    b->setEnabled(on);
}

void RouteEditor::run(const std::string& statement) {
  if (!statement.empty()) bridge_->run_statement(QString::fromStdString(statement));
}

std::string RouteEditor::read(const char* field) {
  return bridge_->read_field(QString::fromLatin1(field)).toStdString();
}

void RouteEditor::mensaje(const QString& text) {
  if (inputs_.mensaje) {
    inputs_.mensaje(text);
    return;
  }
  show_notice(this, text);
}

void RouteEditor::error(const std::exception& e) {
  if (inputs_.on_error)
    inputs_.on_error(QString::fromStdString(e.what()));
  else
    mensaje(QString::fromStdString(e.what()));
}

void RouteEditor::Button7Click() {
  run(cambiar_linea_statement(parse_int32(Edit3->text().toStdString()).value_or(4), ComboBox1->currentIndex(),
                              ComboBox2->currentText().toStdString()));
}

void RouteEditor::Button3Click() {
  const QString direccion = Edit1->text().trimmed();
  if (!direccion.isEmpty()) run(show_address_statement(direccion.toStdString(), false));
}

void RouteEditor::Button4Click() {
  const QString direccion = Edit1->text().trimmed();
  if (!direccion.isEmpty()) run(show_address_statement(direccion.toStdString(), true));
}

void RouteEditor::mapnormalClick(int tag) {
  tipomapa = tag;
  run(map_type_statement(tag));
}

void RouteEditor::btpuntosClick() { run(std::string(mostrar_vfr_statement)); }
void RouteEditor::Button6Click() { run(std::string(clear_ruta_statement)); }
void RouteEditor::Button11Click() { run("centrarRuta();"); }
void RouteEditor::Button9Click() { reject(); }

void RouteEditor::Button5Click() {
  try {
    run("cargaDatos();");
    if (!trim(read("PuntosRuta")).empty()) run("deleteLastPoint();");
  } catch (const std::exception& e) {
    error(e);
  }
}

void RouteEditor::Edit3Exit() {
  if (!parse_int32(Edit3->text().toStdString())) Edit3->setText(QStringLiteral("4"));
}

void RouteEditor::Edit4Exit() {
  if (!parse_int32(Edit4->text().toStdString())) Edit4->setText(QStringLiteral("120"));
}

void RouteEditor::Edit2Exit() {
  if (!parse_decimal(Edit2->text().toStdString(), ',')) Edit2->setText(QStringLiteral("12,5"));
}

}  // namespace tolvex

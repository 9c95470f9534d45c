#include "dialogs/config_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "base/accessibility_qt.h"
#include "base/dialog_font_qt.h"
#include "base/placed_controls_qt.h"
#include "base/radio_list_qt.h"
#include "map/colour_table.h"

namespace tolvex {
namespace {

// The notes' words as the window shows them, wrapped to its width.
const char kNotaIocp[] =
    "IOCP Server:\n"
    "Este add-on del FS es totalmente gratuito y no requiere registro adicional. "
    "Es posible la conexión remota a través del puerto que se indique (por defecto "
    "8090), lo que permite tener en un equipo el Tolvex y en otro el Flight Simulator.";
const char kNotaFsuipc[] =
    "FSUIPC:\n"
    "Este add-on del FS requiere ser instalado para su funcionamiento con Tolvex, "
    "aunque no es necesario que esté registrado. "
    "Para poder ejecutar Tolvex en un equipo diferente al de FS deberán tener "
    "instalada y registrada también la aplicación WideFS en el equipo remoto. Esta "
    "segunda aplicación es el del mismo autor de FSUIPC.";
const char kNotaXgps[] =
    "Red (XGPS):\n"
    "X-Plane, FlightGear y otros programas envían la posición por la red (UDP), igual "
    "que a las tabletas de navegación; no hay que instalar nada en el simulador. "
    "Active esa salida hacia la dirección de este equipo, puerto 49002 (o el que se "
    "indique), y permita ese puerto UDP en el cortafuegos.";
const char kNotaIntervalo[] =
    "Nota: Puede indicar un intervalo de "
    "actualización en segundos y décimas "
    "de segundo. Ejemplos:\n"
    "* 3 -> actualización cada 3 segundos\n"
    "* 1,5 -> actualización cada sg. y medio\n"
    "* 0,3 -> actualización cada 3 décimas de sg.";

QCheckBox* check(const char* name, const QString& text, QWidget* parent, QRect where) {
  auto* c = new QCheckBox(text, parent);
  c->setObjectName(QString::fromLatin1(name));
  c->setGeometry(where);
  return c;
}

// Read-only notes on the info-tip colour, without border.
QLabel* note(const char* name, const QString& text, QWidget* parent, QRect where) {
  auto* l = placed_label(text, parent, where);
  l->setObjectName(QString::fromLatin1(name));
  l->setWordWrap(true);
  l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  l->setAutoFillBackground(true);
  l->setStyleSheet(QStringLiteral("background: #FFFFE1; padding: 2px;"));
  l->setFont(dialog_font(10));
  return l;
}

RadioList* radio_list(const char* name, const QString& title, QWidget* parent, QRect where) {
  auto* r = new RadioList(title, parent);
  r->setObjectName(QString::fromLatin1(name));
  r->setGeometry(where);
  return r;
}

}  // namespace

ConfigWindow::ConfigWindow(const ConfigWindowInputs& inputs, ConfigWindowCallbacks callbacks, QWidget* parent)
    : QDialog(parent), callbacks_(std::move(callbacks)), pictures_folder_(inputs.pictures_folder) {
  setObjectName(QStringLiteral("ConfigWindow"));
  setWindowTitle(QStringLiteral("Configuración de Tolvex"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  build_controls();
  // The tablet view's group stands to the right of the others.
  tableta = new TabletGroup(inputs.tableta, this);
  tableta->setGeometry(423, 64, 252, 450);
  setFixedSize(681, height());
  // FormCreate: the airspace switch and button are shown (published files hold hundreds of
  // airspaces, so the pilot must be able to choose them).
  chkEspacios->setChecked(false);
  fill(inputs);
  name_controls(this);
  if (const QScreen* screen = parent ? parent->screen() : this->screen()) {
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
  }
}

void ConfigWindow::build_controls() {
  setFont(dialog_font(11));
  setFixedSize(423, 551);

  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setGeometry(0, 0, 423, 60);
  Image1->setScaledContents(true);
  Image1->setPixmap(QPixmap(pictures_folder_ + QStringLiteral("iconos/cabecera.png")));

  conecrg = radio_list("conecrg", QStringLiteral("Conexión con el Flight Simulator"), this, {6, 64, 411, 182});
  conecrg->set_items({QStringLiteral("IOCP Server"), QStringLiteral("FSUIPC"), QStringLiteral("Red (XGPS)")},
                     RadioList::Placement{3, 10, 18, 20, 120});
  Label1 = placed_label(QStringLiteral("Dirección IP del equipo que ejecuta el Flight Simulator:"), conecrg, {10, 42, 390, 16});
  Edit1 = placed_edit("Edit1", conecrg, {10, 59, 110, 21});
  Label2 = placed_label(QStringLiteral("(Si es el mismo equipo del FS indique 127.0.0.1)"), conecrg, {128, 61, 275, 16});
  Label3 = placed_label(QStringLiteral("Puerto (por defecto 8090):"), conecrg, {10, 87, 150, 16});
  Edit2 = placed_edit("Edit2", conecrg, {160, 84, 60, 21});
  Label1->setBuddy(Edit1);
  Label3->setBuddy(Edit2);
  memoiocp = note("memoiocp", QString::fromUtf8(kNotaIocp), conecrg, {8, 108, 395, 70});
  memofsuipc = note("memofsuipc", QString::fromUtf8(kNotaFsuipc), conecrg, {8, 108, 395, 70});
  label_puerto_udp = placed_label(QStringLiteral("Puerto UDP (por defecto 49002):"), conecrg, {10, 45, 180, 16});
  edit_puerto_udp = placed_edit("edit_puerto_udp", conecrg, {190, 42, 60, 21});
  label_puerto_udp->setBuddy(edit_puerto_udp);
  nota_xgps = note("nota_xgps", QString::fromUtf8(kNotaXgps), conecrg, {8, 108, 395, 70});
  Label1->setObjectName(QStringLiteral("lblip"));
  Label2->setObjectName(QStringLiteral("lblip2"));
  Label3->setObjectName(QStringLiteral("lblpuerto"));
  for (QLineEdit* e : {Edit1, Edit2}) {
    connect(e, &QLineEdit::textEdited, e, [e](const QString& text) {
      const int at = e->cursorPosition();
      e->setText(text.toUpper());
      e->setCursorPosition(at);
    });
  }
  connect(conecrg, &RadioList::changed, this, [this] { conecrgClick(); });

  auto* generales = new QGroupBox(QStringLiteral("Parámetros generales"), this);
  generales->setObjectName(QStringLiteral("generales"));
  generales->setGeometry(6, 250, 411, 264);
  origen = radio_list("origen", QStringLiteral("Origen de mapas"), generales, {6, 16, 106, 64});
  origen->set_items({QStringLiteral("Google Maps"), QStringLiteral("Skyvector")}, RadioList::Placement{1, 8, 18, 20});
  tamano = radio_list("tamano", QStringLiteral("Tamaño mapa"), generales, {118, 16, 148, 64});
  tamano->set_items({QStringLiteral("Normal"), QStringLiteral("Medio"), QStringLiteral("Grande"),
                     QStringLiteral("Ajustable")},
                    RadioList::Placement{2, 6, 18, 20, 70});
  tipog = radio_list("tipog", QStringLiteral("Tipo de mapa Google"), generales, {272, 16, 133, 64});
  tipog->set_items({QStringLiteral("Normal"), QStringLiteral("Híbrido"), QStringLiteral("Satélite"),
                    QStringLiteral("Relieve")},
                   RadioList::Placement{2, 6, 18, 20, 62});

  cbpuntos = check("cbpuntos", QStringLiteral("Mostrar puntos VFR"), generales, {12, 86, 140, 18});
  soncb = check("soncb", QStringLiteral("Activar sonidos"), generales, {12, 104, 140, 18});
  autocb = check("autocb", QStringLiteral("Modo seguimiento"), generales, {12, 122, 140, 18});
  cbruta = check("cbruta", QStringLiteral("Mostrar ruta"), generales, {160, 86, 130, 18});
  chkXPlane = check("chkXPlane", QStringLiteral("Simulador XPLANE"), generales, {160, 104, 130, 18});
  chkEspacios = check("chkEspacios", QStringLiteral("Ver espacios aéreos"), generales, {160, 122, 130, 18});
  check_suave = check("check_suave", QStringLiteral("Movimiento suave"), generales, {290, 86, 117, 18});
  check_suave->setToolTip(QStringLiteral("El avión se desliza entre posiciones en lugar de saltar de una a otra"));

  auto* lblint = placed_label(QStringLiteral("Intervalo de actualización: "), generales, {12, 147, 146, 16});
  autoint = placed_edit("autoint", generales, {158, 144, 36, 21});
  autoint->setAlignment(Qt::AlignRight);
  autoint->setMaxLength(4);
  autoint->setToolTip(QStringLiteral("Intervalo de actualización en segundos y décimas de segundo"));
  autoint->installEventFilter(this);
  connect(autoint, &QLineEdit::textEdited, this, [this] { aviso_intervalo_.clear(); });
  lblint->setBuddy(autoint);
  placed_label(QStringLiteral("segundos (mín. 0,1 sg.)"), generales, {200, 147, 150, 16});

  auto* rutadin = new QGroupBox(QStringLiteral("Configuración línea ruta dinámica "), generales);
  rutadin->setObjectName(QStringLiteral("rutadin"));
  rutadin->setGeometry(8, 170, 190, 88);
  Edit3 = placed_edit("Edit3", rutadin, {86, 17, 40, 21});
  ComboBox1 = new QComboBox(rutadin);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  ComboBox1->setGeometry(86, 40, 96, 21);
  for (const NamedColour& c : colour_table) ComboBox1->addItem(QString::fromUtf8(c.name.data(), c.name.size()));
  ComboBox2 = new QComboBox(rutadin);
  ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
  ComboBox2->setGeometry(86, 63, 60, 21);
  for (const char* t : {"0.1", "0.2", "0.3", "0.4", "0.5", "0.6", "0.7", "0.8", "0.9", "1"})
    ComboBox2->addItem(QString::fromLatin1(t));
  placed_label(QStringLiteral("Ancho:"), rutadin, {8, 20, 76, 16})->setBuddy(Edit3);
  placed_label(QStringLiteral("Color:"), rutadin, {8, 43, 76, 16})->setBuddy(ComboBox1);
  placed_label(QStringLiteral("Transparencia:"), rutadin, {8, 66, 76, 16})->setBuddy(ComboBox2);

  auto* nota = placed_label(QString::fromUtf8(kNotaIntervalo), generales, {204, 172, 203, 88});
  nota->setObjectName(QStringLiteral("nota"));
  nota->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  nota->setWordWrap(true);
  nota->setFont(dialog_font(10));

  BitBtn3 = placed_button("BitBtn3", QStringLiteral("Ruta"), QStringLiteral("Acceso a la ruta VFR"), this, {6, 520, 80, 26});
  BitBtn4 = placed_button("BitBtn4", QStringLiteral("Espacios Aéreos"), QStringLiteral("Selección de espacios aéreos a visualizar"),
                   this, {92, 520, 110, 26});
  BitBtn1 = placed_button("BitBtn1", QStringLiteral("Aceptar"), QStringLiteral("Aceptar y guardar"), this, {246, 520, 82, 26});
  BitBtn2 = placed_button("BitBtn2", QStringLiteral("Cancelar"), QStringLiteral("Salir sin guardar los cambios"), this,
                   {335, 520, 82, 26});
  BitBtn1->setDefault(true);
  connect(BitBtn1, &QPushButton::clicked, this, &ConfigWindow::BitBtn1Click);
  connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
  connect(BitBtn3, &QPushButton::clicked, this, &ConfigWindow::BitBtn3Click);
  connect(BitBtn4, &QPushButton::clicked, this, &ConfigWindow::BitBtn4Click);
}

void ConfigWindow::fill(const ConfigWindowInputs& in) {
  tipog->set_item_index(in.tipogooglemap - 1);
  conecrg->set_item_index(in.iocpserver ? 0 : in.xgps ? 2 : 1);
  conecrgClick();  // also when the index did not change
  Edit1->setText(QString::fromStdString(in.host).toUpper());
  Edit2->setText(QString::number(in.port));
  edit_puerto_udp->setText(QString::number(in.puertoudp));
  origen->set_item_index(in.MapaSK ? 1 : 0);
  soncb->setChecked(in.Sonidos);
  autocb->setChecked(in.auto_);
  cbpuntos->setChecked(in.puntosvfr);
  cbruta->setChecked(in.ruta_visible);
  chkEspacios->setChecked(in.lespaciosaereos);
  check_suave->setChecked(in.suave);
  autoint->setText(QString::fromStdString(in.intervalorgm));
  tamano->set_item_index(in.mapsize);
  oldtam = in.mapsize;
  chkXPlane->setChecked(in.xplane);
  Edit3->setText(QString::number(in.rutadin_ancho));
  ComboBox1->setCurrentIndex(in.rutadin_color >= 0 && in.rutadin_color < ComboBox1->count() ? in.rutadin_color : -1);
  ComboBox2->setCurrentIndex(ComboBox2->findText(QString::fromStdString(in.rutadin_trans)));
  conec = in.conectado;
  posact = conec ? posicion_actual(in.latitud, in.longitud) : std::string();
}

void ConfigWindow::conecrgClick() {
  const int kind = conecrg->item_index();
  for (QWidget* w : std::initializer_list<QWidget*>{Label1, Label2, Label3, Edit1, Edit2, memoiocp}) w->setVisible(kind == 0);
  memofsuipc->setVisible(kind == 1);
  for (QWidget* w : std::initializer_list<QWidget*>{label_puerto_udp, edit_puerto_udp, nota_xgps}) w->setVisible(kind == 2);
}

void ConfigWindow::autointExit() {
  const std::string typed = autoint->text().toStdString();
  // The pilot is told at "Aceptar" when the text became "1"; a later normalisation of that "1"
  // keeps the reason.
  if (std::string aviso = aviso_intervalo(typed); !aviso.empty()) aviso_intervalo_ = std::move(aviso);
  autoint->setText(QString::fromStdString(normalizar_intervalo(typed)));
}

bool ConfigWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == autoint && event->type() == QEvent::FocusOut) autointExit();
  return QDialog::eventFilter(watched, event);
}

ConfigChoice ConfigWindow::choice() const {
  ConfigChoice c;
  c.iocp = conecrg->item_index() == 0;
  c.xgps = conecrg->item_index() == 2;
  c.dirip = Edit1->text().toStdString();
  c.puerto = Edit2->text().toStdString();
  c.puertoudp = edit_puerto_udp->text().toStdString();
  c.skyvector = origen->item_index() == 1;
  c.tamano = tamano->item_index();
  c.tipog = tipog->item_index();
  c.sonidos = soncb->isChecked();
  c.automat = autocb->isChecked();
  c.puntos = cbpuntos->isChecked();
  c.ruta = cbruta->isChecked();
  c.xplane = chkXPlane->isChecked();
  c.espacios = chkEspacios->isChecked();
  c.suave = check_suave->isChecked();
  c.intervalo = autoint->text().toStdString();
  c.aviso_intervalo = aviso_intervalo_;
  c.ancho = Edit3->text().toStdString();
  c.color = ComboBox1->currentIndex();
  c.trans = ComboBox2->currentIndex() >= 0 ? ComboBox2->currentText().toStdString() : std::string();
  c.servidor_web = tableta->servidor_on();
  c.puertoweb = tableta->puerto_text();
  return c;
}

void ConfigWindow::BitBtn1Click() {
  BitBtn1->setEnabled(false);
  autointExit();
  if (callbacks_.guardar) {
    const std::optional<ConfigDecision> saved = callbacks_.guardar(choice());
    if (!saved) {
      BitBtn1->setEnabled(true);  // nothing was saved: the pilot may try again or cancel
      return;
    }
    std::string avisos;
    for (const std::string& aviso : saved->avisos) avisos += (avisos.empty() ? "" : "\n") + aviso;
    if (!avisos.empty() && callbacks_.mensaje) callbacks_.mensaje(QString::fromStdString(avisos));
  }
  if (oldtam < 3 && tamano->item_index() == 3 && callbacks_.mensaje)
    callbacks_.mensaje(QString::fromUtf8(kAvisoAjustable));
  accept();
}

void ConfigWindow::BitBtn3Click() {
  if (callbacks_.abrir_ruta) callbacks_.abrir_ruta(this, conec, posact);
}

void ConfigWindow::BitBtn4Click() {
  if (callbacks_.abrir_espacios) callbacks_.abrir_espacios(this);
}

}  // namespace tolvex

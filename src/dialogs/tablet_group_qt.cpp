#include "dialogs/tablet_group_qt.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

#include <algorithm>

#include "base/dialog_font_qt.h"
#include "base/number_format.h"
#include "base/placed_controls_qt.h"
#include "dialogs/qr_code_qt.h"

namespace tolvex {
namespace {

constexpr int kQrSide = 176;

const char kNota[] =
    "Abra la dirección en el navegador de la tableta o del teléfono, o lea el código con su cámara. "
    "La clave de la dirección es lo que mantiene el mapa privado en una red compartida. Permita este "
    "puerto TCP en el cortafuegos del equipo.";

}  // namespace

TabletGroup::TabletGroup(TabletGroupInputs inputs, QWidget* parent)
    : QGroupBox(QStringLiteral("Vista en tableta"), parent), inputs_(std::move(inputs)), clave_(inputs_.clave) {
  setObjectName(QStringLiteral("vista_tableta"));
  servidor = new QCheckBox(QStringLiteral("Servir el mapa en la red local"), this);
  servidor->setObjectName(QStringLiteral("servidor_web"));
  servidor->setGeometry(10, 20, 232, 18);
  auto* lblpuerto = placed_label(QStringLiteral("Puerto (por defecto 8091):"), this, {10, 45, 150, 16});
  puerto = placed_edit("puerto_web", this, {165, 42, 60, 21}, QString::number(inputs_.puerto));
  puerto->setMaxLength(5);
  lblpuerto->setBuddy(puerto);
  auto* lbldir = placed_label(QStringLiteral("Dirección para la tableta:"), this, {10, 70, 232, 16});
  direcciones = new QPlainTextEdit(this);
  direcciones->setObjectName(QStringLiteral("direcciones_web"));
  direcciones->setGeometry(10, 87, 232, 58);
  direcciones->setReadOnly(true);
  direcciones->setWordWrapMode(QTextOption::WrapAnywhere);
  direcciones->setFont(dialog_font(9));
  lbldir->setBuddy(direcciones);
  qr = new QLabel(this);
  qr->setObjectName(QStringLiteral("qr_web"));
  qr->setGeometry((252 - kQrSide) / 2, 151, kQrSide, kQrSide);
  qr->setAlignment(Qt::AlignCenter);
  nueva_clave = placed_button("nueva_clave", QStringLiteral("Nueva clave"),
                              QStringLiteral("Cambia la clave: las tabletas abiertas dejan de ver el mapa"), this,
                              {10, 333, 100, 26});
  auto* nota = placed_label(QString::fromUtf8(kNota), this, {10, 364, 232, 78});
  nota->setObjectName(QStringLiteral("nota_web"));
  nota->setWordWrap(true);
  nota->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  nota->setFont(dialog_font(9));

  servidor->setChecked(inputs_.servidor);
  connect(servidor, &QCheckBox::toggled, this, [this](bool on) {
    if (on && clave_.empty()) make_key();
    refresh();
  });
  connect(puerto, &QLineEdit::textChanged, this, [this] { refresh(); });
  connect(nueva_clave, &QPushButton::clicked, this, [this] {
    make_key();
    refresh();
  });
  refresh();
}

bool TabletGroup::servidor_on() const { return servidor->isChecked(); }

std::string TabletGroup::puerto_text() const { return puerto->text().toStdString(); }

void TabletGroup::make_key() {
  if (!inputs_.nueva_clave) return;
  const std::string key = inputs_.nueva_clave();
  if (!key.empty()) clave_ = key;
}

void TabletGroup::refresh() {
  qr_address_.clear();
  const auto port = parse_int32(puerto_text());
  std::vector<std::string> addresses;
  QString text;
  if (!servidor_on()) {
    text = QStringLiteral("La vista en tableta está apagada.");
  } else if (!port || *port < 1 || *port > 65535) {
    text = QStringLiteral("El puerto debe ser un número entre 1 y 65535.");
  } else if (clave_.empty()) {
    text = QStringLiteral("No hay clave: pulse \"Nueva clave\".");
  } else {
    if (inputs_.direcciones) addresses = inputs_.direcciones(*port, clave_);
    if (addresses.empty()) text = QStringLiteral("Este equipo no tiene ninguna dirección en la red local.");
  }
  for (const std::string& a : addresses) {
    if (!text.isEmpty()) text += QLatin1Char('\n');
    text += QString::fromStdString(a);
  }
  direcciones->setPlainText(text);
  if (!addresses.empty()) qr_address_ = QString::fromStdString(addresses.front());
  const QImage code = qr_address_.isEmpty() ? QImage() : qr_code_image(qr_address_, 1);
  if (code.isNull()) {
    qr->clear();
  } else {
    const int module_px = std::max(1, kQrSide / code.width());
    qr->setPixmap(QPixmap::fromImage(qr_code_image(qr_address_, module_px)));
  }
  qr->setAccessibleName(qr_address_.isEmpty() ? QStringLiteral("Código QR: sin dirección") : qr_address_);
}

}  // namespace tolvex

#include "dialogs/about_window.h"

#include <QEvent>
#include <QFont>
#include <QLabel>
#include <QPixmap>
#include <QScreen>

#include "base/accessibility_qt.h"
#include "dialogs/config_rules.h"

namespace tolvex {
namespace {

QLabel* text(const QString& content, QWidget* parent, QRect where, const QString& family, int pixels, bool bold) {
  auto* l = new QLabel(content, parent);
  l->setGeometry(where);
  l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  QFont f(family);
  f.setPixelSize(pixels);
  f.setBold(bold);
  l->setFont(f);
  return l;
}

QLabel* picture(const QString& file, QWidget* parent, QRect where) {
  auto* l = new QLabel(parent);
  l->setGeometry(where);
  l->setScaledContents(true);
  l->setPixmap(QPixmap(file));
  return l;
}

}  // namespace

AboutWindow::AboutWindow(std::optional<std::pair<int, int>> version, const QString& pictures_folder, QWidget* parent)
    : QDialog(parent), version_(version) {
  setObjectName(QStringLiteral("AboutWindow"));
  setWindowTitle(QStringLiteral("Acerca de ..."));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint | Qt::WindowContextHelpButtonHint);
  QFont base(QStringLiteral("MS Sans Serif"));
  base.setPointSize(8);
  setFont(base);
  setFixedSize(409, 267);
  setStyleSheet(QStringLiteral("#AboutWindow { background: #ffffff; }"));

  Image2 = picture(pictures_folder + QStringLiteral("iconos/banner.png"), this, {0, 0, 409, 57});
  Image1 = picture(pictures_folder + QStringLiteral("iconos/aerolinea.png"), this, {8, 70, 177, 112});
  StaticText1 = text(QStringLiteral("Tolvex"), this, {199, 63, 201, 24}, QStringLiteral("Microsoft Sans Serif"), 16, true);
  StaticText6 = text(QStringLiteral("( Winter Release )"), this, {199, 82, 201, 20}, QStringLiteral("MS Sans Serif"), 13, false);
  StaticText5 = text(QStringLiteral("Velmora AirLines"), this, {228, 200, 155, 24}, QStringLiteral("Microsoft Sans Serif"), 16, true);
  // Credit lines in the room the window leaves beside and below the pictures.
  auto* nota = text(QStringLiteral("Mapa móvil para simulación de vuelo VFR.\nPrograma gratuito (freeware)."), this,
                    {199, 112, 201, 40}, QStringLiteral("MS Sans Serif"), 11, false);
  nota->setWordWrap(true);
  auto* aviso = text(QStringLiteral("Solo para simulación: no apto para la navegación real."), this, {8, 240, 393, 18},
                     QStringLiteral("MS Sans Serif"), 11, false);
  aviso->setStyleSheet(QStringLiteral("color: #555555;"));
  StaticText1->setObjectName(QStringLiteral("StaticText1"));
  StaticText6->setObjectName(QStringLiteral("StaticText6"));
  StaticText5->setObjectName(QStringLiteral("StaticText5"));
  name_controls(this);
  if (const QScreen* screen = parent ? parent->screen() : this->screen()) {
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
  }
}

bool AboutWindow::event(QEvent* e) {
  // Every activation; a desktop without a window manager never activates, so showing counts too.
  if (e->type() == QEvent::WindowActivate || e->type() == QEvent::Show) FormActivate();
  return QDialog::event(e);
}

void AboutWindow::FormActivate() {
  StaticText6->setText(QStringLiteral("(Versión ") + QString::fromStdString(version_text(version_)) + QStringLiteral(")"));
}

}  // namespace tolvex

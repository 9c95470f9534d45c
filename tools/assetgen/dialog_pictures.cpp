// Pictures of the auxiliary windows: the banner across the top of the about, configuration and
// airspace selection windows (one drawing at two sizes) and the virtual airline's picture.
#include <QFont>
#include <cmath>
#include <QLinearGradient>
#include <QRadialGradient>

#include "assets.h"
#include "drawing.h"

namespace assetgen {
namespace {

void hills(QPainter& p, double w, double h, double base, const QColor& colour, double phase) {
  QPainterPath path;
  path.moveTo(0, h);
  path.lineTo(0, base);
  for (double x = 0; x <= w + 20; x += 20) {
    const double y = base - 6 * std::sin((x / w) * 6.3 + phase) - 3 * std::sin((x / w) * 17 + phase * 2);
    path.lineTo(x, y);
  }
  path.lineTo(w, h);
  path.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPath(path);
}

void cloud(QPainter& p, QPointF at, double size) {
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 215));
  p.drawEllipse(at, size * 1.6, size * 0.7);
  p.drawEllipse(at + QPointF(-size * 0.7, -size * 0.3), size * 0.8, size * 0.6);
  p.drawEllipse(at + QPointF(size * 0.5, -size * 0.45), size * 0.9, size * 0.75);
}

// Drawn on a 423 x 60 design and scaled, so both sizes show the same picture.
QImage banner(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  p.scale(width / 423.0, height / 60.0);
  QLinearGradient sky(QPointF(0, 0), QPointF(0, 60));
  sky.setColorAt(0, QColor(0x1D, 0x35, 0x57));
  sky.setColorAt(1, QColor(0x6C, 0xA6, 0xD9));
  p.fillRect(QRectF(0, 0, 423, 60), sky);
  cloud(p, QPointF(300, 20), 9);
  cloud(p, QPointF(372, 34), 6);
  hills(p, 423, 60, 52, QColor(0x4F, 0x8A, 0x4B), 0.4);
  hills(p, 423, 60, 57, QColor(0x2F, 0x6B, 0x3A), 2.1);
  // A dotted course line leading to the aircraft.
  QPen course(QColor(0xF2, 0x8C, 0x28), 2.0, Qt::DashLine);
  course.setCapStyle(Qt::RoundCap);
  p.setPen(course);
  p.setBrush(Qt::NoBrush);
  QPainterPath track;
  track.moveTo(170, 50);
  track.cubicTo(230, 46, 270, 30, 330, 24);
  p.drawPath(track);
  draw_aircraft(p, QPointF(350, 22), 1.15, 80);

  QFont title(QStringLiteral("DejaVu Sans"));
  title.setPixelSize(28);
  title.setBold(true);
  p.setFont(title);
  p.setPen(QColor(0, 0, 0, 90));
  p.drawText(QPointF(15, 35), QStringLiteral("Tolvex"));
  p.setPen(Qt::white);
  p.drawText(QPointF(13, 33), QStringLiteral("Tolvex"));
  QFont sub(QStringLiteral("DejaVu Sans"));
  sub.setPixelSize(11);
  p.setFont(sub);
  p.setPen(QColor(0xE8, 0xF1, 0xFA));
  p.drawText(QPointF(15, 49), QString::fromUtf8("Mapa móvil para vuelo VFR"));
  return image;
}

QImage airline() {
  QImage image(177, 112, QImage::Format_ARGB32_Premultiplied);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  QLinearGradient sky(QPointF(0, 0), QPointF(0, 112));
  sky.setColorAt(0, QColor(0x35, 0x6F, 0xB0));
  sky.setColorAt(0.7, QColor(0xF6, 0xB2, 0x6B));
  sky.setColorAt(1, QColor(0xF9, 0xD9, 0x8E));
  p.fillRect(image.rect(), sky);
  QRadialGradient sun(QPointF(132, 70), 26);
  sun.setColorAt(0, QColor(255, 244, 200));
  sun.setColorAt(1, QColor(255, 200, 110, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(sun);
  p.drawEllipse(QPointF(132, 70), 26, 26);
  cloud(p, QPointF(40, 84), 11);
  cloud(p, QPointF(150, 96), 8);
  // The airline's tail fin: a swept fin with a "V".
  QPainterPath fin;
  fin.moveTo(18, 70);
  fin.lineTo(44, 14);
  fin.lineTo(66, 14);
  fin.lineTo(58, 70);
  fin.closeSubpath();
  QLinearGradient finfill(QPointF(18, 14), QPointF(66, 70));
  finfill.setColorAt(0, QColor(0x1D, 0x35, 0x57));
  finfill.setColorAt(1, QColor(0x2E, 0x5C, 0x8A));
  p.setBrush(finfill);
  p.setPen(QPen(Qt::white, 1.5));
  p.drawPath(fin);
  QFont v(QStringLiteral("DejaVu Sans"));
  v.setPixelSize(26);
  v.setBold(true);
  p.setFont(v);
  p.setPen(QColor(0xF2, 0x8C, 0x28));
  p.drawText(QRectF(28, 24, 34, 36), Qt::AlignCenter, QStringLiteral("V"));
  draw_aircraft(p, QPointF(118, 34), 1.7, 65);
  QFont name(QStringLiteral("DejaVu Sans"));
  name.setPixelSize(10);
  name.setBold(true);
  p.setFont(name);
  p.setPen(QColor(0x1D, 0x35, 0x57));
  p.drawText(QRectF(0, 96, 177, 14), Qt::AlignCenter, QStringLiteral("VELMORA"));
  return image;
}

}  // namespace

bool write_dialog_pictures(const QDir& out) {
  return save(banner(409, 57), out, QStringLiteral("iconos/banner.png")) &&
         save(banner(423, 60), out, QStringLiteral("iconos/cabecera.png")) &&
         save(airline(), out, QStringLiteral("iconos/aerolinea.png"));
}

}  // namespace assetgen

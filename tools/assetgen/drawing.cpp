#include "drawing.h"

#include <QFileInfo>
#include <QLinearGradient>
#include <QPen>
#include <cstdio>

namespace assetgen {

QImage canvas(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

QPainterPath aircraft_outline_path() {
  // Fuselage: round cowling at the nose, tapering to a thin tail boom.
  QPainterPath fuselage;
  fuselage.moveTo(16, 3.2);
  fuselage.cubicTo(17.9, 3.2, 18.4, 5.0, 18.4, 7.5);
  fuselage.lineTo(18.3, 15.5);
  fuselage.lineTo(17.0, 27.5);
  fuselage.quadTo(16, 29.0, 15.0, 27.5);
  fuselage.lineTo(13.7, 15.5);
  fuselage.lineTo(13.6, 7.5);
  fuselage.cubicTo(13.6, 5.0, 14.1, 3.2, 16, 3.2);
  fuselage.closeSubpath();

  // High straight wing with rounded tips.
  QPainterPath wing;
  wing.addRoundedRect(QRectF(2.0, 10.0, 28.0, 5.2), 2.2, 2.2);

  // Tailplane.
  QPainterPath tail;
  tail.moveTo(10.0, 25.2);
  tail.quadTo(10.0, 23.6, 12.0, 23.4);
  tail.lineTo(20.0, 23.4);
  tail.quadTo(22.0, 23.6, 22.0, 25.2);
  tail.quadTo(22.0, 27.2, 20.0, 27.2);
  tail.lineTo(12.0, 27.2);
  tail.quadTo(10.0, 27.2, 10.0, 25.2);
  tail.closeSubpath();

  QPainterPath all = fuselage.united(wing).united(tail);
  return all.simplified();
}

void draw_aircraft(QPainter& p, QPointF centre, double scale, double heading) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing, true);
  p.translate(centre);
  p.rotate(heading);
  p.scale(scale, scale);
  p.translate(-16, -16);

  QLinearGradient fill(QPointF(0, 3), QPointF(0, 29));
  fill.setColorAt(0, aircraft_fill_top);
  fill.setColorAt(1, aircraft_fill_bottom);
  QPen outline(aircraft_outline, 1.25);
  outline.setJoinStyle(Qt::RoundJoin);
  p.setPen(outline);
  p.setBrush(fill);
  p.drawPath(aircraft_outline_path());

  // Windscreen and propeller: a dark cue that shows which end is the nose.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x1E, 0x3A, 0x5F));
  QPainterPath screen;
  screen.moveTo(14.3, 9.6);
  screen.quadTo(16, 7.9, 17.7, 9.6);
  screen.lineTo(17.7, 11.0);
  screen.lineTo(14.3, 11.0);
  screen.closeSubpath();
  p.drawPath(screen);
  QPen prop(aircraft_outline, 1.3);
  prop.setCapStyle(Qt::RoundCap);
  p.setPen(prop);
  p.drawLine(QPointF(12.6, 2.6), QPointF(19.4, 2.6));
  p.restore();
}

bool save(const QImage& image, const QDir& dir, const QString& name) {
  const QString path = dir.filePath(name);
  if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !image.save(path, "PNG")) {
    std::fprintf(stderr, "assetgen: no se pudo escribir %s\n", qPrintable(path));
    return false;
  }
  return true;
}

}  // namespace assetgen

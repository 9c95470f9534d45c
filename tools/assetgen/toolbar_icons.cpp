// Toolbar pictures (35 x 36) and the window buttons (16 x 16): one light tile, dark glyph,
// orange highlight.
#include <QLinearGradient>
#include <QPolygonF>
#include <QtMath>
#include <functional>

#include "assets.h"
#include "drawing.h"

namespace assetgen {
namespace {

constexpr double cx = 17.5;  // glyph centre on a toolbar tile
constexpr double cy = 18.0;

QPen ink_pen(double width = 2.2) {
  QPen pen(ink, width);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  return pen;
}

void arrow_head(QPainter& p, QPointF tip, double angle_deg, double size, const QColor& colour) {
  // A filled triangle pointing along angle_deg (0 = right, clockwise positive on screen).
  const double a = qDegreesToRadians(angle_deg);
  const QPointF dir(std::cos(a), std::sin(a));
  const QPointF normal(-dir.y(), dir.x());
  const QPointF base = tip - dir * size;
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPolygon(QPolygonF({tip, base + normal * (size * 0.6), base - normal * (size * 0.6)}));
  p.restore();
}

QImage toolbar_tile(const std::function<void(QPainter&)>& glyph) {
  QImage image = canvas(35, 36);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  QLinearGradient g(QPointF(0, 1), QPointF(0, 35));
  g.setColorAt(0, QColor(0xFD, 0xFE, 0xFF));
  g.setColorAt(1, QColor(0xD6, 0xE2, 0xEE));
  p.setPen(QPen(QColor(0x8F, 0xA6, 0xBF), 1.0));
  p.setBrush(g);
  p.drawRoundedRect(QRectF(1.5, 1.5, 32, 33), 6, 6);
  glyph(p);
  return image;
}

void conexion(QPainter& p) {
  // A plug with its cable.
  p.setPen(ink_pen(2.0));
  p.drawLine(QPointF(14.5, 7.5), QPointF(14.5, 12.5));
  p.drawLine(QPointF(20.5, 7.5), QPointF(20.5, 12.5));
  p.setBrush(accent);
  p.drawRoundedRect(QRectF(11.0, 12.5, 13.0, 9.5), 2.5, 2.5);
  p.setBrush(Qt::NoBrush);
  QPainterPath cable;
  cable.moveTo(17.5, 22.0);
  cable.lineTo(17.5, 24.5);
  cable.cubicTo(17.5, 29.5, 23.5, 26.0, 24.0, 30.0);
  p.drawPath(cable);
}

void actualizar(QPainter& p) {
  // A circular arrow, open at the top right.
  p.setPen(ink_pen(2.6));
  p.setBrush(Qt::NoBrush);
  const QRectF r(cx - 8.5, cy - 8.5, 17, 17);
  p.drawArc(r, 60 * 16, 290 * 16);
  // Head at the arc's start (60 degrees), pointing along the turning direction.
  const double a = qDegreesToRadians(60.0);
  const QPointF start(cx + 8.5 * std::cos(a), cy - 8.5 * std::sin(a));
  arrow_head(p, start + QPointF(3.6, 2.2), 30, 6.5, ink);
}

void cambiar(QPainter& p) {
  // Two opposite arrows: map and chart swap places.
  p.setPen(ink_pen(2.4));
  p.drawLine(QPointF(8.5, 13.0), QPointF(23.0, 13.0));
  arrow_head(p, QPointF(27.5, 13.0), 0, 6.0, ink);
  QPen orange = ink_pen(2.4);
  orange.setColor(accent);
  p.setPen(orange);
  p.drawLine(QPointF(26.5, 23.0), QPointF(12.0, 23.0));
  arrow_head(p, QPointF(7.5, 23.0), 180, 6.0, accent);
}

void triangle(QPainter& p, QPointF c, double size, const QColor& fill) {
  const double h = size * 0.866;
  p.setBrush(fill);
  p.drawPolygon(QPolygonF({QPointF(c.x(), c.y() - h * 0.66), QPointF(c.x() + size / 2, c.y() + h * 0.34),
                           QPointF(c.x() - size / 2, c.y() + h * 0.34)}));
}

void bpuntosvfr(QPainter& p) {
  // Reporting points as chart triangles.
  p.setPen(ink_pen(1.6));
  triangle(p, QPointF(10.5, 25.5), 9.0, QColor(255, 255, 255));
  triangle(p, QPointF(24.5, 24.0), 9.0, QColor(255, 255, 255));
  triangle(p, QPointF(17.5, 12.5), 11.0, accent);
  p.setPen(Qt::NoPen);
  p.setBrush(ink);
  p.drawEllipse(QPointF(17.5, 13.2), 1.4, 1.4);
}

void bespacios(QPainter& p) {
  // An airspace: a controlled zone's circle cut by its approach sector, in the chart's blue.
  QPen zone(QColor(0x1F, 0x4F, 0xB4), 2.2);
  zone.setCapStyle(Qt::RoundCap);
  p.setPen(zone);
  p.setBrush(QColor(0x1F, 0x4F, 0xB4, 40));
  p.drawEllipse(QPointF(cx - 1.5, cy + 1.0), 9.5, 9.5);
  QPen sector(accent, 2.2);
  sector.setCapStyle(Qt::RoundCap);
  p.setPen(sector);
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(QPolygonF({QPointF(cx + 4.0, cy - 6.5), QPointF(cx + 10.0, cy - 9.5), QPointF(cx + 11.0, cy + 3.5),
                            QPointF(cx + 6.5, cy + 5.5)}));
}

void magnifier(QPainter& p, bool plus) {
  p.setPen(ink_pen(2.4));
  p.setBrush(QColor(255, 255, 255));
  p.drawEllipse(QPointF(15.0, 15.5), 8.0, 8.0);
  QPen handle = ink_pen(4.0);
  p.setPen(handle);
  p.drawLine(QPointF(21.0, 21.5), QPointF(27.0, 27.5));
  QPen sign = ink_pen(2.4);
  sign.setColor(accent);
  p.setPen(sign);
  p.drawLine(QPointF(11.0, 15.5), QPointF(19.0, 15.5));
  if (plus) p.drawLine(QPointF(15.0, 11.5), QPointF(15.0, 19.5));
}

void bruta(QPainter& p) {
  // Route: legs between waypoints, blue start, red end.
  const QPointF a(8.5, 26.5), b(15.5, 13.0), c(26.5, 9.5);
  QPen leg = ink_pen(2.2);
  leg.setStyle(Qt::SolidLine);
  p.setPen(leg);
  p.drawPolyline(QPolygonF({a, b, c}));
  p.setPen(QPen(ink, 1.2));
  p.setBrush(QColor(0x1E, 0x6F, 0xE0));
  p.drawEllipse(a, 3.2, 3.2);
  p.setBrush(QColor(255, 255, 255));
  p.drawEllipse(b, 2.6, 2.6);
  p.setBrush(QColor(0xE0, 0x22, 0x22));
  p.drawEllipse(c, 3.2, 3.2);
}

// A folded map in three panels; `imagery` fills it with ground colours instead of paper.
void folded_map(QPainter& p, bool imagery, bool roads) {
  const QPolygonF left({QPointF(6.5, 10.0), QPointF(13.5, 7.5), QPointF(13.5, 26.0), QPointF(6.5, 28.5)});
  const QPolygonF middle({QPointF(13.5, 7.5), QPointF(21.5, 10.0), QPointF(21.5, 28.5), QPointF(13.5, 26.0)});
  const QPolygonF right({QPointF(21.5, 10.0), QPointF(28.5, 7.5), QPointF(28.5, 26.0), QPointF(21.5, 28.5)});
  const QColor paper[3] = {QColor(0xFF, 0xFF, 0xFF), QColor(0xEE, 0xF2, 0xF6), QColor(0xFF, 0xFF, 0xFF)};
  const QColor ground[3] = {QColor(0x3E, 0x6B, 0x3A), QColor(0x2F, 0x55, 0x2E), QColor(0x5B, 0x6E, 0x3A)};
  QPen edge = ink_pen(1.6);
  p.setPen(edge);
  const QPolygonF panels[3] = {left, middle, right};
  for (int i = 0; i < 3; ++i) {
    p.setBrush(imagery ? ground[i] : paper[i]);
    p.drawPolygon(panels[i]);
  }
  if (roads) {
    QPen road(imagery ? QColor(0xFF, 0xD8, 0x4D) : accent, 2.2);
    road.setCapStyle(Qt::RoundCap);
    p.setPen(road);
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(8.0, 23.5);
    path.cubicTo(13.0, 19.0, 18.0, 24.0, 27.0, 13.5);
    p.drawPath(path);
  }
}

void mapnormal(QPainter& p) { folded_map(p, false, true); }
void maphibrido(QPainter& p) { folded_map(p, true, true); }

void mapsatelite(QPainter& p) {
  p.save();
  p.translate(cx, cy);
  p.rotate(-35);
  p.scale(1.12, 1.12);
  p.setPen(QPen(ink, 1.4));
  p.setBrush(QColor(0x4F, 0xA3, 0xE0));
  p.drawRect(QRectF(-13.0, -3.5, 8.0, 7.0));  // solar panels
  p.drawRect(QRectF(5.0, -3.5, 8.0, 7.0));
  p.setPen(QPen(QColor(255, 255, 255, 160), 0.8));
  for (double x : {-10.5, -8.0, 7.5, 10.0}) p.drawLine(QPointF(x, -3.0), QPointF(x, 3.0));
  p.setPen(ink_pen(1.6));
  p.drawLine(QPointF(-5.0, 0), QPointF(5.0, 0));
  p.setBrush(accent);
  p.drawRoundedRect(QRectF(-3.5, -4.5, 7.0, 9.0), 1.5, 1.5);
  p.restore();
}

void maprelieve(QPainter& p) {
  p.setPen(ink_pen(1.8));
  p.setBrush(QColor(0x8A, 0x9A, 0x6B));
  p.drawPolygon(QPolygonF({QPointF(4.5, 28.0), QPointF(14.0, 11.0), QPointF(23.5, 28.0)}));
  p.setBrush(QColor(0xA8, 0x8B, 0x5E));
  p.drawPolygon(QPolygonF({QPointF(13.0, 28.0), QPointF(22.5, 8.0), QPointF(31.0, 28.0)}));
  // Snow caps.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255));
  p.drawPolygon(QPolygonF({QPointF(22.5, 9.6), QPointF(25.2, 15.3), QPointF(23.4, 14.2), QPointF(21.6, 15.6),
                           QPointF(20.0, 14.6)}));
  p.drawPolygon(QPolygonF({QPointF(14.0, 12.6), QPointF(16.1, 16.4), QPointF(14.4, 15.6), QPointF(12.0, 16.2)}));
}

void seguimiento0(QPainter& p) {
  // Free panning: four arrows out from the middle.
  p.setPen(ink_pen(2.2));
  p.drawLine(QPointF(cx, cy - 6.5), QPointF(cx, cy + 6.5));
  p.drawLine(QPointF(cx - 6.5, cy), QPointF(cx + 6.5, cy));
  arrow_head(p, QPointF(cx, cy - 11.5), -90, 6.0, ink);
  arrow_head(p, QPointF(cx, cy + 11.5), 90, 6.0, ink);
  arrow_head(p, QPointF(cx - 11.5, cy), 180, 6.0, ink);
  arrow_head(p, QPointF(cx + 11.5, cy), 0, 6.0, ink);
  p.setPen(Qt::NoPen);
  p.setBrush(accent);
  p.drawEllipse(QPointF(cx, cy), 2.2, 2.2);
}

void seguimiento1(QPainter& p) {
  // Follow mode: the aircraft held in a cross-hair.
  p.setPen(ink_pen(1.8));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(cx, cy), 11.0, 11.0);
  for (int i = 0; i < 4; ++i) {
    p.save();
    p.translate(cx, cy);
    p.rotate(90.0 * i);
    p.drawLine(QPointF(0, -14.5), QPointF(0, -9.0));
    p.restore();
  }
  draw_aircraft(p, QPointF(cx, cy), 0.52, 0.0);
}

void configurar(QPainter& p) {
  // A gear: eight teeth around a ring.
  QPainterPath gear;
  const int teeth = 8;
  for (int i = 0; i < teeth * 4; ++i) {
    const double a = qDegreesToRadians(i * 360.0 / (teeth * 4) - 90.0 + 360.0 / (teeth * 8));
    const double r = (i % 4 == 0 || i % 4 == 1) ? 12.0 : 8.8;
    const QPointF pt(cx + r * std::cos(a), cy + r * std::sin(a));
    if (i == 0) gear.moveTo(pt);
    else gear.lineTo(pt);
  }
  gear.closeSubpath();
  QPainterPath hole;
  hole.addEllipse(QPointF(cx, cy), 4.0, 4.0);
  p.setPen(ink_pen(1.4));
  p.setBrush(accent);
  p.drawPath(gear.subtracted(hole));
}

// Window buttons: a small dark tile with a white glyph; closing is red.
QImage window_button(const QColor& tile, const std::function<void(QPainter&)>& glyph) {
  QImage image = canvas(16, 16);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(tile.darker(150), 1.0));
  p.setBrush(tile);
  p.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3.5, 3.5);
  QPen white(QColor(255, 255, 255), 1.8);
  white.setCapStyle(Qt::RoundCap);
  p.setPen(white);
  p.setBrush(QColor(255, 255, 255));
  glyph(p);
  return image;
}

}  // namespace

bool write_toolbar_pictures(const QDir& out) {
  struct Tile {
    const char* name;
    void (*draw)(QPainter&);
  };
  const Tile tiles[] = {
      {"conexion", conexion},         {"actualizar", actualizar},     {"cambiar", cambiar},
      {"bpuntosvfr", bpuntosvfr},     {"zoomin", [](QPainter& p) { magnifier(p, true); }},
      {"zoomout", [](QPainter& p) { magnifier(p, false); }},          {"bruta", bruta},
      {"bespacios", bespacios},
      {"mapnormal", mapnormal},       {"mapsatelite", mapsatelite},   {"maphibrido", maphibrido},
      {"maprelieve", maprelieve},     {"seguimiento0", seguimiento0}, {"seguimiento1", seguimiento1},
      {"configurar", configurar},
  };
  bool ok = true;
  for (const Tile& t : tiles)
    ok &= save(toolbar_tile(t.draw), out, QStringLiteral("iconos/%1.png").arg(QLatin1String(t.name)));

  const QColor blue(0x2A, 0x4D, 0x78);
  ok &= save(window_button(QColor(0xC8, 0x32, 0x32),
                           [](QPainter& p) {
                             p.drawLine(QPointF(5, 5), QPointF(11, 11));
                             p.drawLine(QPointF(11, 5), QPointF(5, 11));
                           }),
             out, "iconos/cerrar_apli.png");
  ok &= save(window_button(blue, [](QPainter& p) { p.drawLine(QPointF(4.5, 11), QPointF(11.5, 11)); }), out,
             "iconos/minimizar_apli.png");
  ok &= save(window_button(blue,
                           [](QPainter& p) {
                             p.setPen(Qt::NoPen);
                             p.drawEllipse(QPointF(8, 4.6), 1.3, 1.3);
                             p.drawRoundedRect(QRectF(7.0, 6.8, 2.0, 5.4), 0.8, 0.8);
                             p.drawRect(QRectF(6.0, 11.2, 4.0, 1.2));
                           }),
             out, "iconos/acercade_apli.png");
  return ok;
}

}  // namespace assetgen

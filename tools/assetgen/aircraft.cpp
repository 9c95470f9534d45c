// Map pictures: the 32 heading icons of the aircraft, its shadow, the marker pins, and the
// application icon.
#include <QRadialGradient>

#include "assets.h"
#include "drawing.h"

namespace assetgen {
namespace {

struct Sector {
  const char* point;
  int first, last;  // inclusive headings; first > last wraps through north
};

// The page changes icon by these sectors; each icon points to the middle of its own.
const Sector sectors[] = {
    {"N", 355, 6},      {"N4NE", 7, 17},    {"NNE", 18, 28},    {"NE4N", 29, 39},   {"NE", 40, 50},
    {"NE4E", 51, 61},   {"ENE", 62, 73},    {"E4NE", 74, 84},   {"E", 85, 96},      {"E4SE", 97, 107},
    {"ESE", 108, 118},  {"SE4E", 119, 129}, {"SE", 130, 140},   {"SE4S", 141, 151}, {"SSE", 152, 163},
    {"S4SE", 164, 174}, {"S", 175, 186},    {"S4SW", 187, 197}, {"SSW", 198, 208},  {"SW4S", 209, 219},
    {"SW", 220, 231},   {"SW4W", 232, 242}, {"WSW", 243, 254},  {"W4SW", 255, 265}, {"W", 266, 275},
    {"W4NW", 276, 287}, {"WNW", 288, 298},  {"NW4W", 299, 309}, {"NW", 310, 320},   {"NW4N", 321, 332},
    {"NNW", 333, 343},  {"N4NW", 344, 355},
};

double centre_heading(const Sector& s) {
  const double last = s.last < s.first ? s.last + 360.0 : s.last;
  double c = (s.first + last) / 2.0;
  return c >= 360.0 ? c - 360.0 : c;
}

QImage aircraft_icon(double heading) {
  QImage image = canvas(32, 32);
  QPainter p(&image);
  draw_aircraft(p, QPointF(16, 16), 1.0, heading);
  return image;
}

QImage aircraft_shadow() {
  // One shadow for every heading: a soft round blot a little below and to the right.
  QImage image = canvas(32, 32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  QRadialGradient g(QPointF(18, 18.5), 12.5);
  g.setColorAt(0.0, QColor(0, 0, 0, 95));
  g.setColorAt(0.55, QColor(0, 0, 0, 55));
  g.setColorAt(1.0, QColor(0, 0, 0, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawEllipse(QPointF(18, 18.5), 12.5, 12.5);
  return image;
}

// An upright pin: from its tip, a neck curving out through (tip.x - neck_dx, neck_y) and
// (.., shoulder_y) to the left of a round head at side_y, the head's top half from its centre's
// height, and the mirror image of the neck back to the tip.
QPainterPath pin_body(QPointF tip, double neck_dx, double neck_y, double shoulder_y, double side_y,
                      double head_radius, double head_y) {
  const double left = tip.x() - head_radius;
  const double right = tip.x() + head_radius;
  QPainterPath body;
  body.moveTo(tip);
  body.cubicTo(tip.x() - neck_dx, neck_y, left, shoulder_y, left, side_y);
  body.arcTo(QRectF(left, head_y - head_radius, 2 * head_radius, 2 * head_radius), 180, -180);
  body.cubicTo(right, shoulder_y, tip.x() + neck_dx, neck_y, tip.x(), tip.y());
  body.closeSubpath();
  return body;
}

// The pin lit from `light`, outlined a shade darker than its colour; the painter is left ready to
// draw the white mark on its head.
void paint_pin(QPainter& p, const QPainterPath& body, QColor colour, QPointF light, double light_radius,
               int outline_darker, int mark_alpha) {
  QRadialGradient g(light, light_radius);
  g.setColorAt(0, colour.lighter(150));
  g.setColorAt(1, colour);
  p.setPen(QPen(colour.darker(outline_darker), 1.0));
  p.setBrush(g);
  p.drawPath(body);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, mark_alpha));
}

// A 20 x 20 pin whose tip is at (5.5, 19.5): the pages anchor the route markers at (5, 20).
QImage pin(QColor colour) {
  QImage image = canvas(20, 20);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  paint_pin(p, pin_body({5.5, 19.3}, 0.9, 15.0, 11.8, 6.3, 4.5, 5.8), colour, {4.0, 4.5}, 8.0, 190, 230);
  p.drawEllipse(QPointF(5.5, 5.8), 1.7, 1.7);
  return image;
}

// The VFR point marker: the pages show this picture's right half (origin (20, 0), 20 x 20) with
// the point at its left edge, half-way down (anchor (0, 10)), and the point's label hanging from
// the point to the right and down. So the right half holds a small pin leaning right, its tip on
// the point and its head above the label; the left half stays empty.
QImage vfr_point_pin(QColor colour) {
  QImage image = canvas(40, 20);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.translate(20.8, 9.8);
  p.rotate(35);
  paint_pin(p, pin_body({0, 0}, 0.6, -2.5, -4.0, -7.0, 3.6, -7.0), colour, {-1.2, -8.2}, 5.0, 220, 230);
  p.drawEllipse(QPointF(0, -7.0), 1.4, 1.4);
  return image;
}

// The route editor's start and end markers: a 20 x 32 pin whose tip is at (10, 30), where the
// route page anchors them, with a white mark on its head: a dot for the start, a square for the end.
QImage route_pin(QColor colour, bool end) {
  QImage image = canvas(20, 32);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  paint_pin(p, pin_body({10, 30.5}, 1.2, 23.0, 18.0, 10.0, 8.0, 10.0), colour, {7.0, 7.0}, 14.0, 200, 235);
  if (end)
    p.drawRect(QRectF(6.5, 6.5, 7.0, 7.0));
  else
    p.drawEllipse(QPointF(10, 10), 3.8, 3.8);
  return image;
}

// Drawn on a 64-pixel grid and scaled, so every size has the same picture.
QImage application_icon(int size = 64) {
  QImage image = canvas(size, size);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.scale(size / 64.0, size / 64.0);
  QLinearGradient sky(QPointF(0, 2), QPointF(0, 62));
  sky.setColorAt(0, QColor(0x4F, 0xA3, 0xE0));
  sky.setColorAt(1, QColor(0x1E, 0x3A, 0x5F));
  p.setPen(QPen(QColor(255, 255, 255), 2.5));
  p.setBrush(sky);
  p.drawEllipse(QPointF(32, 32), 29.5, 29.5);
  // A compass ring, so it reads as a map even at tray size.
  p.setPen(QPen(QColor(255, 255, 255, 110), 1.5));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(32, 32), 22, 22);
  for (int i = 0; i < 4; ++i) {
    p.save();
    p.translate(32, 32);
    p.rotate(90.0 * i);
    p.setPen(QPen(QColor(255, 255, 255, 200), 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0, -25.5), QPointF(0, -19.5));
    p.restore();
  }
  draw_aircraft(p, QPointF(32, 32), 1.45, 45.0);
  return image;
}

}  // namespace

bool write_map_pictures(const QDir& out) {
  bool ok = true;
  for (const Sector& s : sectors)
    ok &= save(aircraft_icon(centre_heading(s)), out, QStringLiteral("Avion%1.png").arg(QLatin1String(s.point)));
  ok &= save(aircraft_shadow(), out, "AvionSHW.png");
  ok &= save(vfr_point_pin(QColor(0xFF, 0x8C, 0x00)), out, "mm_20_orange.png");
  ok &= save(pin(QColor(0x1E, 0x6F, 0xE0)), out, "mm_20_blue.png");
  ok &= save(pin(QColor(0xE0, 0x22, 0x22)), out, "mm_20_red.png");
  ok &= save(route_pin(QColor(0x1E, 0x6F, 0xE0), false), out, "dd-start.png");
  ok &= save(route_pin(QColor(0xE0, 0x22, 0x22), true), out, "dd-end.png");
  ok &= save(application_icon(), out, "tolvex.png");
  return ok;
}

bool write_application_icons(const QDir& out) {
  bool ok = true;
  for (int size : {48, 128, 256}) ok &= save(application_icon(size), out, QStringLiteral("tolvex-%1.png").arg(size));
  return ok;
}

}  // namespace assetgen

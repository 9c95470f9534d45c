// The three skins of the fixed-size main window: an instrument panel with cut-away corners, a
// recessed bezel where the map sits and a small plate behind the title buttons. Every pixel
// outside the panel has exactly the colour of the top-left pixel, which the window treats as
// transparent; edges are hard so that no blended fringe pixel counts as panel.
#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QtMath>

#include <algorithm>

#include "assets.h"
#include "drawing.h"

namespace assetgen {
namespace {

const QColor kTransparent(0xFF, 0x00, 0xFF);

struct SkinLayout {
  const char* file;
  QSize size;
  QRect map;           // where the map panel sits
  QPoint buttons;      // left of the first title button, common top
  int button_span;     // from the first button's left to the last button's right
};

// The panel's outline: a rectangle with its corners cut at 45 degrees.
QPainterPath panel_outline(QSize size, double cut) {
  const double w = size.width(), h = size.height();
  QPainterPath path;
  path.moveTo(cut, 0);
  path.lineTo(w - cut, 0);
  path.lineTo(w, cut);
  path.lineTo(w, h - cut);
  path.lineTo(w - cut, h);
  path.lineTo(cut, h);
  path.lineTo(0, h - cut);
  path.lineTo(0, cut);
  path.closeSubpath();
  return path;
}

void screw(QPainter& p, QPointF centre, double r, double slot_deg) {
  QRadialGradient g(centre - QPointF(r * 0.3, r * 0.3), r * 1.4);
  g.setColorAt(0, QColor(0xC9, 0xCF, 0xD6));
  g.setColorAt(1, QColor(0x5A, 0x62, 0x6C));
  p.setPen(QPen(QColor(0x14, 0x18, 0x1D), 1.0));
  p.setBrush(g);
  p.drawEllipse(centre, r, r);
  const double a = qDegreesToRadians(slot_deg);
  const QPointF d(std::cos(a) * r * 0.7, std::sin(a) * r * 0.7);
  p.setPen(QPen(QColor(0x20, 0x24, 0x2A), std::max(1.2, r * 0.28), Qt::SolidLine, Qt::RoundCap));
  p.drawLine(centre - d, centre + d);
}

// A recessed frame: dark inside edge at the top and left, light at the bottom and right.
void bezel(QPainter& p, QRectF r, double depth) {
  for (int i = 0; i < int(depth); ++i) {
    const QRectF ring = r.adjusted(-i - 1, -i - 1, i + 1, i + 1);
    const int shade = 0x10 + i * 6;
    p.setPen(QPen(QColor(shade, shade + 3, shade + 8), 1.0));
    p.drawLine(ring.topLeft(), ring.topRight());
    p.drawLine(ring.topLeft(), ring.bottomLeft());
    p.setPen(QPen(QColor(0x6E + i * 4, 0x78 + i * 4, 0x84 + i * 4), 1.0));
    p.drawLine(ring.bottomLeft(), ring.bottomRight());
    p.drawLine(ring.topRight(), ring.bottomRight());
  }
}

QImage draw_skin(const SkinLayout& l) {
  // Ornaments grow a little with the window but must fit the narrow margins of the larger modes.
  const double scale = std::min(1.25, l.size.width() / 505.0);
  const double cut = 26 * scale;
  QImage art = canvas(l.size.width(), l.size.height());
  {
    QPainter p(&art);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QPainterPath outline = panel_outline(l.size, cut);
    p.setClipPath(outline);

    QLinearGradient body(QPointF(0, 0), QPointF(0, l.size.height()));
    body.setColorAt(0, QColor(0x3A, 0x46, 0x54));
    body.setColorAt(0.5, QColor(0x2A, 0x33, 0x3E));
    body.setColorAt(1, QColor(0x1C, 0x23, 0x2B));
    p.fillPath(outline, body);

    // Brushed-metal grain: faint horizontal strokes, the same at every build.
    QRandomGenerator grain(0x70B5);
    for (int y = 0; y < l.size.height(); y += 2) {
      const int alpha = 6 + int(grain.bounded(10));
      p.setPen(QPen(QColor(255, 255, 255, alpha), 1.0));
      const int x0 = int(grain.bounded(l.size.width() / 3));
      p.drawLine(x0, y, x0 + l.size.width() / 2 + int(grain.bounded(l.size.width() / 2)), y);
    }

    // Raised rim along the outline.
    p.setClipping(false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x8C, 0x98, 0xA6), 2.0 * scale));
    p.drawPath(panel_outline(l.size, cut).translated(0, 0));
    p.setPen(QPen(QColor(0x12, 0x16, 0x1B), 1.2 * scale));
    const double inset = 4 * scale;
    QPainterPath inner = panel_outline(QSize(int(l.size.width() - 2 * inset), int(l.size.height() - 2 * inset)), cut - inset);
    p.drawPath(inner.translated(inset, inset));

    // The map's recess and the plate behind the title buttons.
    bezel(p, QRectF(l.map), 4 * scale);
    const QRectF plate(l.buttons.x() - 5 * scale, l.buttons.y() - 4 * scale, l.button_span + 10 * scale, 16 + 8 * scale);
    p.setPen(QPen(QColor(0x10, 0x14, 0x19), 1.0));
    p.setBrush(QColor(0x1A, 0x20, 0x27));
    p.drawRoundedRect(plate, 4 * scale, 4 * scale);

    // Title, engraved: light text over a dark shadow one pixel down.
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setBold(true);
    title.setPixelSize(int(std::min(15 * scale, l.map.top() * 0.45)));
    p.setFont(title);
    const double baseline = l.map.top() - std::max(6.0, (l.map.top() - title.pixelSize()) / 2.0);
    const QPointF title_at(l.map.left() + 14 * scale, baseline);
    p.setPen(QColor(0x0E, 0x12, 0x16));
    p.drawText(title_at + QPointF(0, 1), QStringLiteral("TOLVEX"));
    p.setPen(QColor(0xF2, 0x8C, 0x28));
    p.drawText(title_at, QStringLiteral("TOLVEX"));
    const double after_title = title_at.x() + QFontMetricsF(title).horizontalAdvance(QStringLiteral("TOLVEX")) + 12 * scale;
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPixelSize(int(9 * scale));
    p.setFont(small);
    p.setPen(QColor(0xB8, 0xC2, 0xCE));
    p.drawText(QPointF(after_title, baseline - 1), QStringLiteral("MAPA MÓVIL VFR"));
    p.drawText(QRectF(l.map.left(), l.map.bottom() + 10 * scale, l.map.width() - 24 * scale, 14 * scale), Qt::AlignRight,
               QStringLiteral("VELMORA AIRLINES"));

    // Screws in the side margins, clear of the cut corners.
    const double r = 5.0 * scale;
    const double left = l.map.left() / 2.0;
    const double right = (l.size.width() + l.map.right()) / 2.0;
    const double top = l.map.top() + 22 * scale;
    const double bottom = l.map.bottom() - 22 * scale;
    screw(p, QPointF(left, top), r, 20);
    screw(p, QPointF(right, top), r, 100);
    screw(p, QPointF(left, bottom), r, 140);
    screw(p, QPointF(right, bottom), r, 65);
  }

  // Hard edge: every pixel is either the transparent colour or fully panel.
  QImage skin(l.size, QImage::Format_RGB888);
  const QPainterPath outline = panel_outline(l.size, cut);
  for (int y = 0; y < l.size.height(); ++y) {
    for (int x = 0; x < l.size.width(); ++x) {
      const bool inside = outline.contains(QPointF(x + 0.5, y + 0.5));
      QColor c = kTransparent;
      if (inside) {
        const QColor a = QColor::fromRgba(art.pixel(x, y));
        // Over the panel's darkest colour, so a pixel of the panel is never the transparent one.
        const double k = a.alphaF();
        c = QColor::fromRgbF(a.redF() + (1 - k) * 0.1, a.greenF() + (1 - k) * 0.12, a.blueF() + (1 - k) * 0.15);
        if (c == kTransparent) c = QColor(0xFE, 0x00, 0xFE);
      }
      skin.setPixelColor(x, y, c);
    }
  }
  return skin;
}

}  // namespace

bool write_skins(const QDir& out) {
  // Map panel and title buttons at the places the main window gives them in each size mode.
  const SkinLayout layouts[] = {
      {"skins/normal.png", {505, 394}, {51, 55, 401, 281}, {412, 27}, 50},
      {"skins/medio.png", {800, 560}, {33, 36, 736, 462}, {718, 15}, 50},
      {"skins/grande.png", {1000, 700}, {35, 46, 919, 575}, {912, 20}, 50},
  };
  bool ok = true;
  for (const SkinLayout& l : layouts) ok &= save(draw_skin(l), out, QString::fromLatin1(l.file));
  return ok;
}

}  // namespace assetgen

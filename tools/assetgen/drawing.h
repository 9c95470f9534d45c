#pragma once
// Shared pieces of the pictures: canvas, palette, the aircraft outline, saving.
#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>

namespace assetgen {

// One palette for every picture, so the toolbar looks like one set.
inline const QColor ink(0x1E, 0x3A, 0x5F);         // glyph lines
inline const QColor accent(0xF2, 0x8C, 0x28);      // highlights
inline const QColor aircraft_fill_top(0xFF, 0xD8, 0x4D);
inline const QColor aircraft_fill_bottom(0xF5, 0x9E, 0x0B);
inline const QColor aircraft_outline(0x26, 0x22, 0x1E);

// A transparent ARGB picture.
QImage canvas(int width, int height);

// The light aircraft seen from above, nose up, in a 32 x 32 box centred on (16, 16).
QPainterPath aircraft_outline_path();

// Draws the aircraft centred on `centre`, `scale` times the 32-pixel size, nose towards
// `heading` degrees (clockwise from up).
void draw_aircraft(QPainter& p, QPointF centre, double scale, double heading);

// Writes `image` as PNG to dir/name (creating sub-folders); false on failure.
bool save(const QImage& image, const QDir& dir, const QString& name);

}  // namespace assetgen

#include "dialogs/qr_code_qt.h"

#include <qrencode.h>

#include <memory>

namespace tolvex {

QImage qr_code_image(const QString& text, int module_px) {
  const QByteArray bytes = text.toUtf8();
  if (bytes.isEmpty() || module_px < 1) return {};
  // Level M: a screen photographed at an angle still reads.
  std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
      QRcode_encodeString8bit(bytes.constData(), 0, QR_ECLEVEL_M), &QRcode_free);
  if (!code) return {};
  constexpr int kQuietZone = 4;
  const int modules = code->width + 2 * kQuietZone;
  QImage image(modules * module_px, modules * module_px, QImage::Format_RGB32);
  image.fill(Qt::white);
  const QRgb black = qRgb(0, 0, 0);
  for (int y = 0; y < code->width; ++y) {
    for (int x = 0; x < code->width; ++x) {
      if (!(code->data[y * code->width + x] & 1)) continue;
      for (int dy = 0; dy < module_px; ++dy) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine((y + kQuietZone) * module_px + dy));
        for (int dx = 0; dx < module_px; ++dx) line[(x + kQuietZone) * module_px + dx] = black;
      }
    }
  }
  return image;
}

}  // namespace tolvex

#pragma once
// A QR code drawn as an image (libqrencode), for an address to be read with a phone's camera.
#include <QImage>
#include <QString>

namespace tolvex {

// `text` as a QR code, black modules on white with the four-module quiet zone, each module
// `module_px` pixels square; a null image when the text cannot be encoded.
QImage qr_code_image(const QString& text, int module_px);

}  // namespace tolvex

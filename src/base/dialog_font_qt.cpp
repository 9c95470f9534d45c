#include "base/dialog_font_qt.h"

#include <QStringList>

namespace tolvex {

QFont dialog_font(int pixel_size) {
  QFont font;
  font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans Condensed"),
                    QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Arial")});
  font.setPixelSize(pixel_size);
  return font;
}

}  // namespace tolvex

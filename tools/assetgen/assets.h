#pragma once
#include <QDir>

namespace assetgen {

// Aircraft icons, shadow, marker pins and the application icon, into the program folder.
bool write_map_pictures(const QDir& out);
// The application icon for the desktop's menu (hicolor theme): tolvex-48.png, -128 and -256.
bool write_application_icons(const QDir& out);
// The skins of the fixed-size main window, into out/skins.
bool write_skins(const QDir& out);
// The toolbar and window-button pictures, into out/iconos.
bool write_toolbar_pictures(const QDir& out);
// The banner of the auxiliary windows (409 x 57 and 423 x 60) and the airline picture, into out/iconos.
bool write_dialog_pictures(const QDir& out);

}  // namespace assetgen

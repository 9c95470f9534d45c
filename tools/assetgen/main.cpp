// assetgen <program folder>: draws every picture the program needs into that folder.
// assetgen --app-icons <folder>: draws the desktop menu's icons (for the package) there.
#include <QGuiApplication>
#include <cstdio>
#include <cstring>

#include "assets.h"

int main(int argc, char** argv) {
  const bool app_icons = argc == 3 && std::strcmp(argv[1], "--app-icons") == 0;
  if (argc != 2 && !app_icons) {
    std::fprintf(stderr, "uso: assetgen <carpeta del programa> | assetgen --app-icons <carpeta>\n");
    return 2;
  }
  // Drawing needs no screen; this also runs on build machines without a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QDir out(QString::fromLocal8Bit(argv[argc - 1]));
  if (app_icons) return assetgen::write_application_icons(out) ? 0 : 1;
  const bool ok = assetgen::write_map_pictures(out) && assetgen::write_toolbar_pictures(out) &&
                  assetgen::write_skins(out) && assetgen::write_dialog_pictures(out);
  return ok ? 0 : 1;
}

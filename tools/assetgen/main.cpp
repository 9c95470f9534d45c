// assetgen <program folder>: draws every picture the program needs into that folder.
#include <QGuiApplication>
#include <cstdio>

#include "assets.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "uso: assetgen <carpeta del programa>\n");
    return 2;
  }
  // Drawing needs no screen; this also runs on build machines without a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QDir out(QString::fromLocal8Bit(argv[1]));
  const bool ok = assetgen::write_map_pictures(out) && assetgen::write_toolbar_pictures(out) &&
                  assetgen::write_skins(out) && assetgen::write_dialog_pictures(out);
  return ok ? 0 : 1;
}

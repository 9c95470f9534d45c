// Tolvex: the moving map for home flight simulation.
#include <QCommandLineParser>
#include <QDir>

#include <cstdio>

#include "base/message_box_qt.h"
#include "map/web_profile_qt.h"
#include "platform/platform.h"
#include "shell/main_window.h"
#include "shell/program_folder_qt.h"
#include "shell/qt_translations.h"
#include "shell/tolvex_application.h"

int main(int argc, char** argv) {
  // The map view is composed in software unless the user asks otherwise: a pan at every poll
  // costs several times more CPU through OpenGL, which is often software rendering anyway, and
  // the simulator beside us needs the graphics card more than a small map does.
  if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND")) qputenv("QT_QUICK_BACKEND", "software");
  tolvex::add_browser_engine_flags();
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  tolvex::TolvexApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Tolvex"));
  const tolvex::SpanishQtTranslations qt_spanish;
  if (!qt_spanish.loaded()) std::fprintf(stderr, "Tolvex: %s\n", qPrintable(qt_spanish.log_line()));
#ifdef TOLVEX_APP_ID
  // The desktop entry's name: desktops match the window to its menu entry and icon by it.
  QGuiApplication::setDesktopFileName(QStringLiteral(TOLVEX_APP_ID));
#endif

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Tolvex, mapa móvil para simulación de vuelo VFR"));
  parser.addHelpOption();
  const QCommandLineOption folder(QStringLiteral("folder"),
                                  QStringLiteral("Carpeta del programa (CONFIG.INI, datos, páginas)."),
                                  QStringLiteral("DIR"));
  const QCommandLineOption connect(QStringLiteral("connect"),
                                   QStringLiteral("Conectar con el simulador en cuanto se haya cargado la primera página."));
  parser.addOption(folder);
  parser.addOption(connect);
  parser.process(app);

  tolvex::MainWindowOptions options;
  options.connect_on_start = parser.isSet(connect);
  options.version = tolvex::program_version();
  options.start_log.push_back(qt_spanish.log_line().toStdString());
  const QString given = parser.value(folder);
  if (!given.isEmpty() && !QDir(given).exists()) {
    qCritical("Tolvex: la carpeta %s no existe", qPrintable(given));
    return 2;
  }
  tolvex::StartFolder start = tolvex::start_folder(given);
  if (start.folder.isEmpty()) {
    qCritical("Tolvex: %s", qPrintable(start.error));
    tolvex::show_notice(nullptr, start.error);
    return 2;
  }
  options.folder = start.folder;
  options.start_log.insert(options.start_log.begin(), start.notes.begin(), start.notes.end());

  tolvex::MainWindow window(options);
  // The program ends with its main window's close sequence, not when some other window (a
  // message box shown while the main window sits in the tray) happens to be the last one closed.
  app.setQuitOnLastWindowClosed(false);
  QObject::connect(&window, &tolvex::MainWindow::closed, &app, &QCoreApplication::quit, Qt::QueuedConnection);
  app.set_error_handler([&window](const QString& text) { window.ApplicationEvents1Exception(text); });
  tolvex::install_termination_handler(&window, [&window] { window.close_unattended(); });
  window.show();
  return app.exec();
}

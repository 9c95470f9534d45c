#include "shell/program_folder_qt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <stdexcept>

#include "shell/program_folder.h"

namespace tolvex {

StartFolder start_folder(const QString& given) {
  ProgramFolderInputs in;
  in.executable_folder = QDir(QCoreApplication::applicationDirPath()).absolutePath().toStdString() + "/";
  in.given_folder = given.toStdString();
  if (given.isEmpty()) {
    // Only asked when it matters: the probe leaves a file for a moment in the executable's folder.
    in.installed_package = QFileInfo::exists(QString::fromStdString(in.executable_folder) +
                                             QLatin1String(kInstalledPackageMarker));
    in.executable_folder_writable = !in.installed_package && folder_is_writable(in.executable_folder);
  }
  in.xdg_data_home = qEnvironmentVariable("XDG_DATA_HOME").toStdString();
  in.home = qEnvironmentVariable("HOME").toStdString();
  in.local_app_data = qEnvironmentVariable("LOCALAPPDATA").toStdString();
#ifdef Q_OS_WIN
  in.platform = FolderPlatform::windows;
#else
  in.platform = FolderPlatform::posix;
#endif

  StartFolder start;
  const ProgramFolderChoice choice = choose_program_folder(in);
  if (choice.folder.empty()) {
    start.error = QString::fromStdString(choice.error);
    return start;
  }
  try {
    start.notes = prepare_program_folder(choice, in.executable_folder, in.platform);
  } catch (const std::exception& error) {
    start.error = QString::fromStdString(error.what()) + QStringLiteral(": indique una carpeta con --folder.");
    return start;
  }
  start.folder = QString::fromStdString(choice.folder);
  return start;
}

}  // namespace tolvex

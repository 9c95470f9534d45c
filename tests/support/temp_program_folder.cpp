#include "support/temp_program_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

namespace tolvex::test {

QString built_program_folder() {
  const QByteArray dir = qgetenv("TOLVEX_PROGRAM_DIR");
  return QString::fromLocal8Bit(dir);
}

TempProgramFolder::TempProgramFolder(bool with_program_files) {
  if (!dir_.isValid()) throw std::runtime_error("no temporary folder");
  if (!with_program_files) return;
  const QDir program(built_program_folder());
  if (built_program_folder().isEmpty() || !program.exists()) return;
  for (const QFileInfo& entry : program.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
    if (entry.isFile() && entry.isExecutable()) continue;  // the program itself stays out
    QFile::link(entry.absoluteFilePath(), dir_.filePath(entry.fileName()));
  }
}

std::string TempProgramFolder::path() const { return (dir_.path() + QLatin1Char('/')).toStdString(); }
QString TempProgramFolder::qpath() const { return dir_.path() + QLatin1Char('/'); }

void TempProgramFolder::write(const std::string& name, const std::string& bytes) const {
  QFile f(QString::fromStdString(file(name)));
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) throw std::runtime_error("cannot write " + name);
  f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string TempProgramFolder::read(const std::string& name) const {
  QFile f(QString::fromStdString(file(name)));
  if (!f.open(QIODevice::ReadOnly)) return {};
  const QByteArray all = f.readAll();
  return std::string(all.constData(), static_cast<size_t>(all.size()));
}

bool TempProgramFolder::exists(const std::string& name) const {
  return QFileInfo::exists(QString::fromStdString(file(name)));
}

}  // namespace tolvex::test

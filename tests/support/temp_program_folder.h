#pragma once
// A fresh program folder for one test: a temporary directory holding links to the built
// program files (page scripts, Leaflet, pictures), removed when the test ends.
#include <QString>
#include <QTemporaryDir>

#include <string>

namespace tolvex::test {

class TempProgramFolder {
 public:
  // with_program_files: also link the files of the built program folder into it.
  explicit TempProgramFolder(bool with_program_files = true);
  // Folder path with a trailing separator, as the program uses it.
  std::string path() const;
  QString qpath() const;
  std::string file(const std::string& name) const { return path() + name; }
  void write(const std::string& name, const std::string& bytes) const;
  std::string read(const std::string& name) const;
  bool exists(const std::string& name) const;

 private:
  QTemporaryDir dir_;
};

// The built program folder (TOLVEX_PROGRAM_DIR of the test environment).
QString built_program_folder();

}  // namespace tolvex::test

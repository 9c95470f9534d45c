#pragma once
// Qt's own words in Spanish: file dialogs ("Buscar en", "Abrir"), standard buttons and the
// pages' context menus, from Qt's translation files (Debian's qt6-translations-l10n). Without
// them the program runs all the same, with Qt's English words.
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QTranslator;

namespace tolvex {

class SpanishQtTranslations {
 public:
  // Looks in `folders` in turn (default_folders() unless given) and installs what it finds.
  explicit SpanishQtTranslations(const QStringList& folders = default_folders());
  ~SpanishQtTranslations();  // uninstalls them
  SpanishQtTranslations(const SpanishQtTranslations&) = delete;
  SpanishQtTranslations& operator=(const SpanishQtTranslations&) = delete;

  // Qt's own translations folder, then "translations" beside the executable (a Windows install).
  static QStringList default_folders();

  bool loaded() const { return !translators_.empty(); }
  // For the log: which files were loaded, or where none was found.
  QString log_line() const { return log_line_; }

 private:
  std::vector<std::unique_ptr<QTranslator>> translators_;
  QString log_line_;
};

}  // namespace tolvex

#include "shell/qt_translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace tolvex {

SpanishQtTranslations::SpanishQtTranslations(const QStringList& folders) {
  // qtbase holds the dialogs and buttons; qtwebengine the pages' context menus.
  QStringList found;
  for (const QString catalogue : {QStringLiteral("qtbase_es"), QStringLiteral("qtwebengine_es")}) {
    for (const QString& folder : folders) {
      auto translator = std::make_unique<QTranslator>();
      if (!translator->load(catalogue, folder)) continue;
      if (QCoreApplication::installTranslator(translator.get())) {
        found << QDir(folder).filePath(catalogue + QStringLiteral(".qm"));
        translators_.push_back(std::move(translator));
      }
      break;
    }
  }
  log_line_ = found.isEmpty()
                  ? QStringLiteral("No se encuentran las traducciones de Qt al español (qtbase_es.qm) en %1: los "
                                   "diálogos de Qt se muestran en inglés")
                        .arg(folders.join(QStringLiteral(", ")))
                  : QStringLiteral("Traducciones de Qt cargadas: %1").arg(found.join(QStringLiteral(", ")));
}

SpanishQtTranslations::~SpanishQtTranslations() {
  for (const auto& translator : translators_) QCoreApplication::removeTranslator(translator.get());
}

QStringList SpanishQtTranslations::default_folders() {
  return {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
          QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"))};
}

}  // namespace tolvex

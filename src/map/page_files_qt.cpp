#include "map/page_files_qt.h"

#include <QString>

namespace tolvex {

QUrl local_file_url(const std::string& path) { return QUrl::fromLocalFile(QString::fromStdString(path)); }

std::string folder_url(const std::string& folder) {
  QString path = QString::fromStdString(folder);
  if (!path.endsWith(QLatin1Char('/')) && !path.endsWith(QLatin1Char('\\'))) path += QLatin1Char('/');
  std::string url = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded).toStdString();
  if (url.empty() || url.back() != '/') url += '/';
  return url;
}

}  // namespace tolvex

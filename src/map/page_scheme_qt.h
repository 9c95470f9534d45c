#pragma once
// The browser side of our page addresses (map/page_files.h): pages built in memory and the page
// files of the executable's folder, served under tolvex://app/ to the views of a profile.
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

#include <string>

class QWebEngineProfile;
class QWebEngineUrlRequestJob;

namespace tolvex {

// Makes the scheme known to the browser engine. Call once, before the application object exists.
void register_page_scheme();

class PageScheme : public QWebEngineUrlSchemeHandler {
  Q_OBJECT

 public:
  // Page files larger than this are refused (nothing the pages load comes near it).
  static constexpr qint64 kMaxFileBytes = 32 * 1024 * 1024;

  // The handler of `profile`, installed on first use.
  static PageScheme* of(QWebEngineProfile* profile);

  // Serves `html` as the page `name` from now on (replacing an earlier page of that name), with
  // its files from `files_folder`. Returns the page's address.
  QUrl publish(const std::string& name, const std::string& html, const QString& files_folder);

  void requestStarted(QWebEngineUrlRequestJob* job) override;

 private:
  using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;

  QHash<QString, QByteArray> pages_;
  QString files_folder_;
};

}  // namespace tolvex

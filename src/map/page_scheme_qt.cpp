#include "map/page_scheme_qt.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QWebEngineProfile>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

#include "map/page_files.h"

namespace tolvex {
namespace {

const char kInstalledProperty[] = "tolvex_page_scheme";

QByteArray scheme_name() { return QByteArray(kPageScheme.data(), static_cast<qsizetype>(kPageScheme.size())); }

void reply(QWebEngineUrlRequestJob* job, const QByteArray& type, const QByteArray& bytes) {
  auto* buffer = new QBuffer(job);  // lives as long as the job reads it
  buffer->setData(bytes);
  buffer->open(QIODevice::ReadOnly);
  job->reply(type, buffer);
}

}  // namespace

void register_page_scheme() {
  if (QWebEngineUrlScheme::schemeByName(scheme_name()).name() == scheme_name()) return;
  QWebEngineUrlScheme scheme(scheme_name());
  scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
  QWebEngineUrlScheme::registerScheme(scheme);
}

PageScheme* PageScheme::of(QWebEngineProfile* profile) {
  if (!profile) return nullptr;
  if (auto* installed = profile->property(kInstalledProperty).value<PageScheme*>()) return installed;
  auto* handler = new PageScheme(profile);
  profile->installUrlSchemeHandler(scheme_name(), handler);
  profile->setProperty(kInstalledProperty, QVariant::fromValue(handler));
  return handler;
}

QUrl PageScheme::publish(const std::string& name, const std::string& html, const QString& files_folder) {
  pages_.insert(QString::fromStdString(name), QByteArray(html.data(), static_cast<qsizetype>(html.size())));
  files_folder_ = files_folder;
  return QUrl(QString::fromStdString(page_address(name)));
}

void PageScheme::requestStarted(QWebEngineUrlRequestJob* job) {
  const QUrl url = job->requestUrl();
  if (job->requestMethod() != "GET" || url.host() != QLatin1String(kPageHost.data(), kPageHost.size())) {
    job->fail(QWebEngineUrlRequestJob::RequestDenied);
    return;
  }
  const QString path = url.path();
  if (const auto page = pages_.constFind(path.mid(1)); path.startsWith(QLatin1Char('/')) && page != pages_.cend()) {
    reply(job, QByteArrayLiteral("text/html;charset=utf-8"), *page);
    return;
  }
  const auto relative = page_file_path(path.toStdString());
  if (!relative || files_folder_.isEmpty()) {
    job->fail(QWebEngineUrlRequestJob::UrlNotFound);
    return;
  }
  QFile file(QDir(files_folder_).filePath(QString::fromStdString(*relative)));
  if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes) {
    job->fail(QWebEngineUrlRequestJob::UrlNotFound);
    return;
  }
  const std::string_view type = page_file_type(*relative);
  reply(job, QByteArray(type.data(), static_cast<qsizetype>(type.size())), file.readAll());
}

}  // namespace tolvex

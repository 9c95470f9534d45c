#include "map/web_profile_qt.h"

#include <QQuickWidget>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

#include <atomic>

#include "map/page_files.h"
#include "map/page_scheme_qt.h"

namespace tolvex {
namespace {

std::atomic<bool> blocked_remote{false};

class RequestIdentity : public QWebEngineUrlRequestInterceptor {
 public:
  using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;

  void interceptRequest(QWebEngineUrlRequestInfo& info) override {
    const QUrl url = info.requestUrl();
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("file")) {  // no page of ours reads local files, whatever asks
      info.block(true);
      return;
    }
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) return;
    if (blocked_remote.load() && !is_loopback_host(url.host().toStdString())) {
      info.block(true);
      return;
    }
    info.setHttpHeader("User-Agent", kUserAgent);
    info.setHttpHeader("Referer", kReferer);
  }
};

const char kInstalledProperty[] = "tolvex_request_identity";

}  // namespace

void install_request_identity(QWebEngineProfile* profile) {
  if (!profile || profile->property(kInstalledProperty).toBool()) return;
  profile->setHttpUserAgent(QString::fromLatin1(kUserAgent));
  profile->setUrlRequestInterceptor(new RequestIdentity(profile));
  profile->setProperty(kInstalledProperty, true);
}

void configure_view(QWebEngineView* view) {
  if (!view) return;
  QWebEngineSettings* settings = view->settings();
  settings->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
  settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
  install_request_identity(view->page()->profile());
  PageScheme::of(view->page()->profile());
  // When pages are drawn through the graphics card, the browser's drawing widget, made at the
  // first page load, makes Qt rebuild the open window it sits in, and a rebuilt modal window is
  // no longer modal (the window below it takes clicks again). A hidden widget of that kind,
  // there from the start, has the window made for it at once.
  (new QQuickWidget(view))->hide();
}

QByteArray browser_engine_flags(const QByteArray& flags, bool sandbox_off) {
  static const QByteArray kNoCache = "--no-compilation-cache";
  QList<QByteArray> switches = flags.simplified().split(' ');
  switches.removeAll(QByteArray());
  bool js_flags = false;
  for (QByteArray& s : switches) {
    if (!s.startsWith("--js-flags=")) continue;
    js_flags = true;
    const QByteArray value = s.mid(int(sizeof("--js-flags=")) - 1);
    if (!value.split(',').contains(kNoCache)) s += (value.isEmpty() ? "" : ",") + kNoCache;
  }
  if (!js_flags) switches.append("--js-flags=" + kNoCache);
  if (sandbox_off && !switches.contains("--no-zygote")) switches.append("--no-zygote");
  return switches.join(' ');
}

void add_browser_engine_flags() {
  const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
  const bool sandbox_off =
      qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX") || flags.split(' ').contains("--no-sandbox");
  qputenv("QTWEBENGINE_CHROMIUM_FLAGS", browser_engine_flags(flags, sandbox_off));
}

void set_remote_requests_blocked(bool blocked) { blocked_remote.store(blocked); }
bool remote_requests_blocked() { return blocked_remote.load(); }

}  // namespace tolvex

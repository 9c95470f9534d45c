#pragma once
// A real browser page that loads Leaflet, our map provider and the three map libraries from a
// temporary program folder, with a map ready to drive from the tests. Tiles point at page files
// that do not exist, so nothing ever leaves the machine.
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>
#include <string>

#include "map/page_scheme_qt.h"
#include "support/temp_program_folder.h"

namespace tolvex::test {

// Shows `html` as our page `name`, its page files from `files_folder`, and waits (at most 20 s)
// for the load to finish; true when it did.
inline bool load_and_wait(QWebEnginePage* page, const std::string& name, const std::string& html,
                          const QString& files_folder) {
  QEventLoop loop;
  bool ok = false;
  QObject::connect(page, &QWebEnginePage::loadFinished, &loop, [&](bool r) {
    ok = r;
    loop.quit();
  });
  QTimer::singleShot(20000, &loop, &QEventLoop::quit);
  page->load(PageScheme::of(page->profile())->publish(name, html, files_folder));
  loop.exec();
  return ok;
}

// Records script errors so a test can insist there were none.
class ShimWebPage : public QWebEnginePage {
 public:
  using QWebEnginePage::QWebEnginePage;
  QStringList errors;

 protected:
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message, int line,
                                const QString& source) override {
    if (level == ErrorMessageLevel) errors << (message + QStringLiteral(" (") + source + QLatin1Char(':') +
                                               QString::number(line) + QLatin1Char(')'));
  }
};

// The built program folder, from the environment or, failing that, from the build.
inline void shim_ensure_program_dir() {
#ifdef TOLVEX_BUILT_PROGRAM_DIR
  if (qEnvironmentVariableIsEmpty("TOLVEX_PROGRAM_DIR")) qputenv("TOLVEX_PROGRAM_DIR", TOLVEX_BUILT_PROGRAM_DIR);
#endif
}

inline void shim_pump(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

struct ShimServices {
  std::string elevation = "http://127.0.0.1:1/elevation?latitude={lat}&longitude={lng}";
  std::string geocoder = "http://127.0.0.1:1/search?q={query}";
};

class ShimPage {
 public:
  explicit ShimPage(const ShimServices& services = {})
      : folder_((shim_ensure_program_dir(), true)), view_(std::make_unique<QWebEngineView>()) {
    page_ = new ShimWebPage(view_.get());
    view_->setPage(page_);
    view_->resize(800, 600);
    view_->show();
    services_ = services;
  }

  // Writes the test page and loads it; true once the map exists.
  bool load() {
    const std::string tiles = "tolvex://app/nonexistent-tiles/";
    std::string html =
        "<!DOCTYPE html><html><head><meta charset=\"utf-8\"/>"
        "<link rel=\"stylesheet\" href=\"leaflet/leaflet.css\"/>"
        "<style>html,body{margin:0;height:100%;} .labels{color:black;background-color:orange;"
        "font-size:10px;width:40px;border:2px solid black;white-space:nowrap;}</style>"
        "<script>window.TOLVEX_MAPS={tiles:{"
        "roadmap:'" + tiles + "roadmap/{z}/{x}/{y}.png',"
        "satellite:'" + tiles + "satellite/{z}/{x}/{y}.png',"
        "hybrid:'" + tiles + "hybrid/{z}/{x}/{y}.png',"
        "terrain:'" + tiles + "terrain/{z}/{x}/{y}.png'},"
        "elevation:'" + services_.elevation + "', geocoder:'" + services_.geocoder + "', timeoutMs: 4000};</script>"
        "<script src=\"leaflet/leaflet.js\"></script>"
        "<script src=\"tolvex_maps.js\"></script>"
        "<script src=\"markermanager_packed.js\"></script>"
        "<script src=\"markerwithlabel_packed.js\"></script>"
        "<script src=\"v3_epoly.js\"></script>"
        "<script>var map;function load(){map=new google.maps.Map(document.getElementById('map'),"
        "{zoom:9,center:new google.maps.LatLng(40.4,-3.7),mapTypeId:google.maps.MapTypeId.ROADMAP,"
        "mapTypeControl:false,streetViewControl:false,disableDoubleClickZoom:true});window.shimReady=true;}"
        "</script></head><body onload=\"load()\"><div id=\"map\" style=\"width:100%;height:100%\"></div>"
        "</body></html>";
    folder_.write("pin.svg",
                  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"30\" height=\"40\">"
                  "<rect width=\"30\" height=\"40\" fill=\"red\"/></svg>");
    return load_and_wait(page_, "shim_page.html", html, folder_.qpath()) &&
           wait_until(QStringLiteral("window.shimReady === true"));
  }

  // Runs `body` as a function body (use `return`); a thrown error comes back as "JSERROR: ...".
  QVariant run(const QString& body, int timeout_ms = 10000) {
    const QString script = QStringLiteral("(function(){try{") + body +
                           QStringLiteral("\n}catch(e){return 'JSERROR: '+e+' '+(e.stack||'');}})()");
    QEventLoop loop;
    QVariant result;
    bool came = false;
    page_->runJavaScript(script, [&](const QVariant& v) {
      result = v;
      came = true;
      loop.quit();
    });
    QTimer::singleShot(timeout_ms, &loop, &QEventLoop::quit);
    if (!came) loop.exec();
    return result;
  }

  QVariant eval(const QString& expression) { return run(QStringLiteral("return (") + expression + QStringLiteral(");")); }

  bool wait_until(const QString& expression, int timeout_ms = 8000) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeout_ms) {
      if (eval(QStringLiteral("!!(") + expression + QStringLiteral(")")).toBool()) return true;
      shim_pump(20);
    }
    return false;
  }

  const QStringList& errors() const { return page_->errors; }
  TempProgramFolder& folder() { return folder_; }

 private:
  TempProgramFolder folder_;
  std::unique_ptr<QWebEngineView> view_;
  ShimWebPage* page_ = nullptr;
  ShimServices services_;
};

}  // namespace tolvex::test

#include "map/browser_bridge.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <memory>
#include <stdexcept>
#include <utility>

#include "map/page_scheme_qt.h"

namespace tolvex {
namespace {

BrowserBridge::StatementObserver& observer() {
  static BrowserBridge::StatementObserver instance;
  return instance;
}

// Looks the element up by walking f1's elements, so the name never has to be quoted into a
// selector. null means "no form f1".
const char kReadFieldScript[] =
    "(function(n){"
    "var f=document.forms['f1'];"
    "if(!f)return null;"
    "var els=f.elements;var e=null;"
    "for(var i=0;i<els.length;i++){if(els[i].name===n){e=els[i];break;}}"
    "if(!e)return '';"
    "var t=String(e.tagName).toUpperCase();"
    "if(t==='INPUT'){var ty=String(e.type).toLowerCase();"
    "if(ty==='radio'||ty==='checkbox')return e.checked?'checked':'unchecked';"
    "return String(e.value);}"
    "if(t==='SELECT'||t==='TEXTAREA')return String(e.value);"
    "return '';"
    "})(%1)";

QString json_string(const QString& text) {
  // A one-element array is the simplest way to get QJsonDocument to quote a string.
  QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
  return QString::fromUtf8(json.mid(1, json.size() - 2));
}

// JSON allows U+2028/2029 raw inside strings; older script engines end a line there.
QString script_safe(QString json) {
  json.replace(QChar(0x2028), QStringLiteral("\\u2028"));
  json.replace(QChar(0x2029), QStringLiteral("\\u2029"));
  return json;
}

}  // namespace

BrowserBridge::BrowserBridge(QWebEngineView* view) : QObject(view), view_(view) {
  connect(view, &QWebEngineView::loadStarted, this, [this] { loaded_ = false; });
  connect(view, &QWebEngineView::loadFinished, this, [this](bool ok) {
    loaded_ = ok;
    emit loaded(ok);
  });
}

void BrowserBridge::load_page(const QUrl& url) {
  if (!view_) return;
  loaded_ = false;
  view_->load(url);
}

void BrowserBridge::show_page(const std::string& name, const std::string& html, const QString& files_folder) {
  if (!view_) return;
  load_page(PageScheme::of(view_->page()->profile())->publish(name, html, files_folder));
}

void BrowserBridge::set_statement_observer(StatementObserver observer_fn) {
  observer() = std::move(observer_fn);
}

QString BrowserBridge::batch_script(const QStringList& batch) {
  const QByteArray array = QJsonDocument(QJsonArray::fromStringList(batch)).toJson(QJsonDocument::Compact);
  return QStringLiteral("(function(b){try{for(var i=0;i<b.length;i++){(0,eval)(b[i]);}}catch(e){}})(") +
         script_safe(QString::fromUtf8(array)) + QStringLiteral(");");
}

void BrowserBridge::run_statements(const QStringList& batch) {
  if (observer())
    for (const QString& line : batch) observer()(line);
  if (!view_ || !loaded_ || batch.isEmpty()) return;
  view_->page()->runJavaScript(batch_script(batch), QWebEngineScript::MainWorld);
}

void BrowserBridge::run_statement(const QString& statement) { run_statements(QStringList{statement}); }

QString BrowserBridge::batches_script(const QList<QStringList>& batches) {
  QJsonArray all;
  for (const QStringList& batch : batches) all.append(QJsonArray::fromStringList(batch));
  const QByteArray array = QJsonDocument(all).toJson(QJsonDocument::Compact);
  return QStringLiteral("(function(bs){for(var j=0;j<bs.length;j++){var b=bs[j];"
                        "try{for(var i=0;i<b.length;i++){(0,eval)(b[i]);}}catch(e){}}})(") +
         script_safe(QString::fromUtf8(array)) + QStringLiteral(");");
}

void BrowserBridge::run_batches(const QList<QStringList>& batches) {
  if (observer())
    for (const QStringList& batch : batches)
      for (const QString& line : batch) observer()(line);
  if (!view_ || !loaded_) return;
  // One call per few megabytes of statements: the page takes one message at a time.
  constexpr qsizetype kCallChars = 4 * 1024 * 1024;
  QList<QStringList> call;
  qsizetype chars = 0;
  for (const QStringList& batch : batches) {
    if (batch.isEmpty()) continue;
    qsizetype size = 0;
    for (const QString& line : batch) size += line.size() + 4;
    if (!call.isEmpty() && chars + size > kCallChars) {
      view_->page()->runJavaScript(batches_script(call), QWebEngineScript::MainWorld);
      call.clear();
      chars = 0;
    }
    call.append(batch);
    chars += size;
  }
  if (!call.isEmpty()) view_->page()->runJavaScript(batches_script(call), QWebEngineScript::MainWorld);
}

QVariant BrowserBridge::run_and_wait(const QString& script, int timeout_ms) {
  if (!view_ || !loaded_) throw std::runtime_error("No hay ninguna página cargada en el navegador.");

  // The answer may come after we gave up waiting: it then lands in this shared state only.
  struct Wait {
    QEventLoop* loop = nullptr;
    bool done = false;
    QVariant result;
  };
  auto wait = std::make_shared<Wait>();
  QEventLoop loop;
  wait->loop = &loop;

  QTimer timer;
  timer.setSingleShot(true);
  connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
  connect(view_.data(), &QObject::destroyed, &loop, &QEventLoop::quit);
  view_->page()->runJavaScript(script, QWebEngineScript::MainWorld, [wait](const QVariant& value) {
    wait->result = value;
    wait->done = true;
    if (wait->loop) wait->loop->quit();
  });
  if (!wait->done) {
    timer.start(timeout_ms < 0 ? 0 : timeout_ms);
    loop.exec();
  }
  wait->loop = nullptr;
  if (!wait->done) {
    if (!view_) throw std::runtime_error("El navegador se cerró antes de responder.");
    throw std::runtime_error("El navegador no respondió a tiempo.");
  }
  return wait->result;
}

QString BrowserBridge::read_field(const QString& name, int timeout_ms) {
  const QVariant value = run_and_wait(QString::fromLatin1(kReadFieldScript).arg(script_safe(json_string(name))), timeout_ms);
  if (value.isNull() || !value.isValid())
    throw std::runtime_error("La página no tiene el formulario f1.");
  return value.toString();
}

void BrowserBridge::read_field_later(const QString& name, std::function<void(const QString&)> done) {
  if (!view_ || !loaded_) return;
  view_->page()->runJavaScript(QString::fromLatin1(kReadFieldScript).arg(script_safe(json_string(name))),
                               QWebEngineScript::MainWorld, [done = std::move(done)](const QVariant& value) {
                                 if (!value.isNull() && value.isValid()) done(value.toString());
                               });
}

QVariant BrowserBridge::evaluate(const QString& expression, int timeout_ms) {
  return run_and_wait(expression, timeout_ms);
}

}  // namespace tolvex

#include "map/tolvex_page_qt.h"

#include <QWebEngineView>

#include "base/message_box_qt.h"
#include "base/outside_text.h"

namespace tolvex {

TolvexPage::TolvexPage(QWebEngineProfile* profile, QWebEngineView* view) : QWebEnginePage(profile, view), view_(view) {}

namespace {
// A page may run scripts from outside (Google's, the chart host's): what they say is cut as any
// quoted outside text is.
QString bounded(const QString& msg) { return QString::fromStdString(quote_outside(msg.toStdString(), 400)); }
}  // namespace

void TolvexPage::javaScriptAlert(const QUrl&, const QString& msg) { show_notice(view_, bounded(msg)); }

bool TolvexPage::javaScriptConfirm(const QUrl&, const QString& msg) { return ask_confirmation(view_, bounded(msg)); }

bool TolvexPage::javaScriptPrompt(const QUrl&, const QString&, const QString&, QString*) { return false; }

void install_tolvex_page(QWebEngineView* view) {
  if (!view || qobject_cast<TolvexPage*>(view->page())) return;
  // The view deletes the page it made itself when it is given another.
  view->setPage(new TolvexPage(view->page()->profile(), view));
}

}  // namespace tolvex

#pragma once
// The web page class of every view of ours: a page's alert, confirmation or prompt speaks as
// Tolvex (caption "Tolvex - Información", "Aceptar"), never as the browser ("Javascript Alert -
// file:///...", "OK").
#include <QWebEnginePage>

class QWebEngineView;

namespace tolvex {

class TolvexPage : public QWebEnginePage {
  Q_OBJECT

 public:
  TolvexPage(QWebEngineProfile* profile, QWebEngineView* view);

 protected:
  void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
  bool javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) override;
  // No page of ours asks for text; a remote script that does gets nothing.
  bool javaScriptPrompt(const QUrl& securityOrigin, const QString& msg, const QString& defaultValue,
                        QString* result) override;

 private:
  QWebEngineView* view_;
};

// Gives a new view a TolvexPage on the profile it already uses. Call before the view's settings
// are touched: they belong to its page.
void install_tolvex_page(QWebEngineView* view);

}  // namespace tolvex

#pragma once
// The one way a window talks to the page in its embedded browser: load a page, run script
// statements in it, read back the hidden fields of its form f1.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>

#include <functional>
#include <string>

#include <QWebEngineView>

namespace tolvex {

class BrowserBridge : public QObject {
  Q_OBJECT

 public:
  // Sees every statement a bridge is asked to run, in order, whether or not it runs.
  using StatementObserver = std::function<void(const QString&)>;

  // The bridge lives as long as the view (it is the view's child).
  explicit BrowserBridge(QWebEngineView* view);

  QWebEngineView* view() const { return view_; }

  // Navigates; returns at once. The page counts as loaded from its loadFinished(true) until the
  // next navigation starts.
  void load_page(const QUrl& url);
  // Shows `html` as our page `name` (tolvex://app/<name>), its relative addresses served from
  // the page files of `files_folder`; loads like load_page.
  void show_page(const std::string& name, const std::string& html, const QString& files_folder);
  bool is_loaded() const { return loaded_; }

  // Runs each line in the page's global scope, in order, inside one guard: the first line that
  // fails ends the batch and nothing is reported. Nothing runs while no page is loaded.
  void run_statements(const QStringList& batch);
  void run_statement(const QString& statement);
  // Runs several batches, in order, in as few calls to the page as fit a bounded script size;
  // each batch keeps its own guard, so a failing line ends only the rest of its own batch.
  void run_batches(const QList<QStringList>& batches);

  // Value of the element `name` of form f1: "checked"/"unchecked" for radio and check boxes,
  // the value of other inputs, selects and text areas, the empty text for anything else or a
  // missing element. Waits for the page for at most timeout_ms (events are processed meanwhile).
  // Throws std::runtime_error when no page is loaded, the page has no form f1, the browser
  // fails or the answer does not come in time.
  QString read_field(const QString& name, int timeout_ms = 5000);

  // The same value handed to `done` once the page answers, without waiting; nothing is handed
  // when no page is loaded, the page has no form f1, or the view goes first.
  void read_field_later(const QString& name, std::function<void(const QString&)> done);

  // The value of a script expression, synchronously (for tests and benchmarks). Same waiting and
  // failures as read_field; a script error gives an invalid QVariant.
  QVariant evaluate(const QString& expression, int timeout_ms = 5000);

  static void set_statement_observer(StatementObserver observer);

  // The script that runs a batch: one runner called with the batch as a JSON array.
  static QString batch_script(const QStringList& batch);
  // The script that runs batches, each in its own guard: one runner called with an array of them.
  static QString batches_script(const QList<QStringList>& batches);

 signals:
  void loaded(bool ok);

 private:
  QVariant run_and_wait(const QString& script, int timeout_ms);

  QPointer<QWebEngineView> view_;
  bool loaded_ = false;
};

}  // namespace tolvex

#pragma once
// What only a platform has: a system-wide hot key, the working-set trim, termination signals,
// the text editor.
// One implementation per platform, chosen by the build.
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace tolvex {

// Ctrl+Shift+F12, reaching the program even while its window is hidden.
class GlobalHotKey : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;
  ~GlobalHotKey() override = default;

  // Registers Ctrl+Shift+F12. Returns false when the platform cannot (the reason is in
  // last_error(), for the log).
  virtual bool register_ctrl_shift_f12() = 0;
  virtual void unregister() = 0;
  QString last_error() const { return last_error_; }

  static std::unique_ptr<GlobalHotKey> create(QObject* parent = nullptr);

 signals:
  void pressed();

 protected:
  QString last_error_;
};

// Opens a text file in the system's text editor without waiting for it: Notepad, by its full
// path, on Windows; elsewhere the desktop's application for text files. False when none started.
bool open_in_text_editor(const QString& path);

// Gives memory back to the system (the process working set), where the platform allows it.
void trim_working_set();

// SIGINT / SIGTERM (or the console's close events) become a call of `on_request` on the
// Qt event loop, so the normal close sequence runs. From the request on, the process ends after
// kTerminationLimitMs at the latest, whatever the event loop is doing.
void install_termination_handler(QObject* context, std::function<void()> on_request);
inline constexpr int kTerminationLimitMs = 4000;

// True once a termination request came (readable from any thread, at any time): blocking waits
// end early, and nothing waits for a person any more.
bool termination_requested();

// Waits at most timeout_ms for a socket (a connecting one: until the attempt has ended) to be
// ready for writing. False on time-out.
bool wait_socket_writable(qintptr descriptor, int timeout_ms);

}  // namespace tolvex

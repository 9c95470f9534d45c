// Ctrl+Shift+F12 on Windows: RegisterHotKey on the thread, WM_HOTKEY seen through Qt's native event filter.
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <windows.h>

#include "platform/platform.h"

namespace tolvex {
namespace {

constexpr int kHotKeyId = 0x7E12;

class WindowsHotKey : public GlobalHotKey, public QAbstractNativeEventFilter {
 public:
  explicit WindowsHotKey(QObject* parent) : GlobalHotKey(parent) {}
  ~WindowsHotKey() override { unregister(); }

  bool register_ctrl_shift_f12() override {
    if (!RegisterHotKey(nullptr, kHotKeyId, MOD_CONTROL | MOD_SHIFT | MOD_NOREPEAT, VK_F12)) {
      last_error_ = QStringLiteral("otra aplicación ya usa Ctrl+Mayús+F12 (error %1)").arg(GetLastError());
      return false;
    }
    QCoreApplication::instance()->installNativeEventFilter(this);
    registered_ = true;
    return true;
  }

  void unregister() override {
    if (!registered_) return;
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
    UnregisterHotKey(nullptr, kHotKeyId);
    registered_ = false;
  }

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "windows_generic_MSG") return false;
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message != WM_HOTKEY || msg->wParam != kHotKeyId) return false;
    emit pressed();
    return true;
  }

 private:
  bool registered_ = false;
};

}  // namespace

std::unique_ptr<GlobalHotKey> GlobalHotKey::create(QObject* parent) { return std::make_unique<WindowsHotKey>(parent); }

}  // namespace tolvex

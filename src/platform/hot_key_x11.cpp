// Ctrl+Shift+F12 on X11: a passive grab on the root window, seen through Qt's native event filter.
#include <QAbstractNativeEventFilter>
#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include "platform/platform.h"

namespace tolvex {
namespace {

constexpr xcb_keysym_t kKeysymF12 = 0xffc9;
constexpr uint16_t kWanted = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT;
// Num Lock (Mod2) and Caps Lock must not stop the key from working.
constexpr uint16_t kIgnored[] = {0, XCB_MOD_MASK_2, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2 | XCB_MOD_MASK_LOCK};
// Auto-repeat follows a held key within its delay (660 ms by default) and then every few tens.
constexpr xcb_timestamp_t kHoldGapMs = 2000;

class X11HotKey : public GlobalHotKey, public QAbstractNativeEventFilter {
 public:
  explicit X11HotKey(QObject* parent) : GlobalHotKey(parent) {}
  ~X11HotKey() override { unregister(); }

  bool register_ctrl_shift_f12() override {
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) {
      last_error_ = QStringLiteral("no hay servidor X11 (plataforma %1)").arg(QGuiApplication::platformName());
      return false;
    }
    connection_ = x11->connection();
    root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(connection_);
    xcb_keycode_t* codes = symbols ? xcb_key_symbols_get_keycode(symbols, kKeysymF12) : nullptr;
    if (!codes || codes[0] == XCB_NO_SYMBOL) {
      free(codes);
      if (symbols) xcb_key_symbols_free(symbols);
      last_error_ = QStringLiteral("la tecla F12 no existe en este teclado");
      return false;
    }
    keycode_ = codes[0];
    free(codes);
    xcb_key_symbols_free(symbols);
    bool ok = true;
    for (uint16_t extra : kIgnored) {
      xcb_void_cookie_t c = xcb_grab_key_checked(connection_, 1, root_, kWanted | extra, keycode_,
                                                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
      if (xcb_generic_error_t* e = xcb_request_check(connection_, c)) {
        ok = false;
        free(e);
      }
    }
    if (!ok) {
      last_error_ = QStringLiteral("otra aplicación ya usa Ctrl+Mayús+F12");
      ungrab();
      return false;
    }
    qApp->installNativeEventFilter(this);
    registered_ = true;
    return true;
  }

  void unregister() override {
    if (!registered_) return;
    if (qApp) qApp->removeNativeEventFilter(this);
    ungrab();
    registered_ = false;
  }

  bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
    if (type != "xcb_generic_event_t") return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    const uint8_t kind = event->response_type & ~0x80;
    if (kind != XCB_KEY_PRESS && kind != XCB_KEY_RELEASE) return false;
    auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
    if (key->detail != keycode_) return false;
    if (kind == XCB_KEY_RELEASE) {
      // Seen whatever modifiers are still down, or a later press would count as held.
      held_ = false;
      has_released_ = true;
      last_release_ = key->time;
      return false;
    }
    if ((key->state & kWanted) != kWanted) return false;
    if (!is_auto_repeat(key->time)) emit pressed();
    return true;
  }

 private:
  // Holding the keys repeats the press: as presses alone (detectable auto-repeat, which Qt asks
  // the server for) or as release and press pairs with the same time. Only the first press of
  // a hold counts. A press long after the last one is new even if its release went astray.
  bool is_auto_repeat(xcb_timestamp_t time) {
    const bool repeat = (held_ && time - last_press_ < kHoldGapMs) || (has_released_ && time == last_release_);
    held_ = true;
    last_press_ = time;
    return repeat;
  }

  void ungrab() {
    if (!connection_) return;
    for (uint16_t extra : kIgnored) xcb_ungrab_key(connection_, keycode_, root_, kWanted | extra);
    xcb_flush(connection_);
  }

  xcb_connection_t* connection_ = nullptr;
  xcb_window_t root_ = 0;
  xcb_keycode_t keycode_ = 0;
  bool registered_ = false;
  bool held_ = false;
  bool has_released_ = false;
  xcb_timestamp_t last_press_ = 0;
  xcb_timestamp_t last_release_ = 0;
};

}  // namespace

std::unique_ptr<GlobalHotKey> GlobalHotKey::create(QObject* parent) { return std::make_unique<X11HotKey>(parent); }

}  // namespace tolvex

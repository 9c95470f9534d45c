#pragma once
// Browser set-up shared by every map window: how requests identify the program to map servers,
// and what a local page may load.
#include <QByteArray>

class QWebEngineProfile;
class QWebEngineView;

namespace tolvex {

// Sent with every web request of the pages; tile servers refuse anonymous clients.
inline constexpr char kUserAgent[] = "Tolvex/1.0 (mapa movil para simulacion de vuelo)";
// The browser cancels a request whose Referer breaks its default referrer policy: towards
// another origin it may carry an origin only (no path), and never https towards http.
inline constexpr char kReferer[] = "http://tolvex.localhost/";

// Gives the profile's http(s) requests the program's User-Agent and Referer. Installs one
// interceptor per profile; later calls for the same profile change nothing.
void install_request_identity(QWebEngineProfile* profile);

// Settings of a new view: scripts on, no access to local files at all (our pages and their files
// come through the page scheme, map/page_scheme_qt.h, which it installs on the view's profile
// with the request identity).
void configure_view(QWebEngineView* view);

// `flags` (QTWEBENGINE_CHROMIUM_FLAGS: switches separated by blanks) with what the program
// needs of the browser engine:
//  - the script engine's compilation cache off, added to a --js-flags switch already there (its
//    flags are separated by commas). That cache keeps every distinct script it compiles for
//    good, and each statement the pages are sent is one: about 0.9 KB kept per statement,
//    30 MB an hour at 10 samples a second;
//  - without the engine's sandbox (sandbox_off), no zygote: it exists to start sandboxed
//    renderers, and costs two processes (about 100 MiB resident) for our one renderer.
QByteArray browser_engine_flags(const QByteArray& flags, bool sandbox_off);
// Puts browser_engine_flags into the environment (the sandbox is off when
// QTWEBENGINE_DISABLE_SANDBOX is set or the flags hold --no-sandbox); call before the
// application object exists.
void add_browser_engine_flags();

// Offline mode (tests, demos without network): every http(s) request to a host other than
// this machine is blocked. Applies to every profile with the identity installed.
void set_remote_requests_blocked(bool blocked);
bool remote_requests_blocked();

}  // namespace tolvex

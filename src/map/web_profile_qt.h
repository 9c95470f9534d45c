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

// Settings of a new view: scripts on, and its local page may load remote map resources and,
// with local_files, other local files (our own pages load their scripts and pictures so; a page
// that runs a remote host's scripts must not). Also installs the request identity on the
// view's profile.
void configure_view(QWebEngineView* view, bool local_files = true);

// Offline mode (tests, demos without network): every http(s) request to a host other than
// this machine is blocked. Applies to every profile with the identity installed.
void set_remote_requests_blocked(bool blocked);
bool remote_requests_blocked();

}  // namespace tolvex

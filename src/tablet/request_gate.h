#pragma once
// What the tablet server does with the bytes a connection has sent so far, before anything of
// the request is served: wait for the rest of the head, refuse it with a status, or let it
// through to the page, one page file or the socket. Requests have no body here: the tablet
// only reads.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tolvex {

// Request line and headers together, blank line included.
inline constexpr std::size_t kMaxHeadBytes = 8 * 1024;
inline constexpr std::size_t kMaxHeaderCount = 64;
// The socket's address path; the page is "/", its files are page files (map/page_files.h).
inline constexpr std::string_view kSocketPath = "/enlace";

struct RequestHead {
  std::string method;
  std::string path;   // as sent, not decoded
  std::string query;  // after '?', as sent; empty when none
  std::vector<std::pair<std::string, std::string>> headers;  // names in lower case, values trimmed

  // The value of the first header of that name (lower case), if any.
  std::optional<std::string_view> header(std::string_view lower_name) const;
};

// The length of the head at the start of `bytes` (up to and including its CR LF CR LF), or
// nothing when the head is not complete yet.
std::optional<std::size_t> head_length(std::string_view bytes);

// A complete head as HTTP/1.0 or 1.1 writes it: "METHOD /path[?query] HTTP/1.x", then
// "name: value" lines, every line ended by CR LF. Nothing for anything else: a bare CR or LF,
// a folded or nameless header, an absolute or relative target, control characters.
std::optional<RequestHead> parse_request_head(std::string_view head);

enum class GateAction { wait, refuse, page, file, socket };

struct GateDecision {
  GateAction action = GateAction::wait;
  int status = 0;    // refuse: the status to answer with
  std::string file;  // file: the page file, relative to the executable's folder
};

// The decision for the bytes received so far on a connection. A request line without the key
// is refused with 403 at once, as is a line too long to read; with the key: a head over
// kMaxHeadBytes 431, an unreadable one 400, a body 413, anything after the head 400, a method
// other than GET 405, the socket 503 when `sockets_full`, an unknown path 404.
GateDecision examine_request(std::string_view bytes, std::string_view key, bool sockets_full);

// "Forbidden" for 403 and so on; the status line's reason.
std::string_view status_reason(int status);

}  // namespace tolvex

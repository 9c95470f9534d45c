#include "tablet/request_gate.h"

#include <algorithm>

#include "map/page_files.h"
#include "tablet/tablet_key.h"

namespace tolvex {
namespace {

constexpr std::string_view kCrLf = "\r\n";

bool is_token_char(char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

// Visible ASCII, blanks and tabs, and bytes of UTF-8 text; never CR, LF or other controls.
bool is_field_char(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u == '\t' || (u >= 0x20 && u != 0x7F);
}

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string_view trim_blanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool contains_token(std::string_view list, std::string_view token) {
  // "keep-alive, Upgrade" holds "upgrade".
  const std::string l = lower(list);
  std::size_t from = 0;
  while (from <= l.size()) {
    const std::size_t comma = l.find(',', from);
    if (trim_blanks(std::string_view(l).substr(from, comma == std::string::npos ? l.npos : comma - from)) == token)
      return true;
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  return false;
}

bool parse_request_line(std::string_view line, RequestHead& head) {
  const std::size_t first = line.find(' ');
  if (first == std::string_view::npos || first == 0) return false;
  const std::size_t second = line.find(' ', first + 1);
  if (second == std::string_view::npos || line.find(' ', second + 1) != std::string_view::npos) return false;
  const std::string_view method = line.substr(0, first);
  const std::string_view target = line.substr(first + 1, second - first - 1);
  const std::string_view version = line.substr(second + 1);
  if (!std::all_of(method.begin(), method.end(), is_token_char)) return false;
  if (version != "HTTP/1.1" && version != "HTTP/1.0") return false;
  if (target.empty() || target.front() != '/') return false;
  for (char c : target)
    if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7F) return false;
  const std::size_t question = target.find('?');
  head.method = method;
  head.path = target.substr(0, question);
  head.query = question == std::string_view::npos ? std::string() : std::string(target.substr(question + 1));
  // A fragment is never sent; one that is makes no sense here.
  return head.path.find('#') == std::string::npos && head.query.find('#') == std::string::npos;
}

bool request_line_has_key(std::string_view line, std::string_view key) {
  RequestHead head;
  if (!parse_request_line(line, head)) return false;
  const auto given = query_parameter(head.query, kKeyParameter);
  return given && key_matches(*given, key);
}

GateDecision refuse(int status) { return {GateAction::refuse, status, {}}; }

}  // namespace

std::optional<std::string_view> RequestHead::header(std::string_view lower_name) const {
  for (const auto& [name, value] : headers)
    if (name == lower_name) return std::string_view(value);
  return std::nullopt;
}

std::optional<std::size_t> head_length(std::string_view bytes) {
  const std::size_t end = bytes.find("\r\n\r\n");
  if (end == std::string_view::npos) return std::nullopt;
  return end + 4;
}

std::optional<RequestHead> parse_request_head(std::string_view head) {
  if (!head.ends_with("\r\n\r\n")) return std::nullopt;
  head.remove_suffix(2);  // every line, the last one too, now ends with CR LF
  RequestHead out;
  bool first_line = true;
  while (!head.empty()) {
    const std::size_t end = head.find(kCrLf);
    const std::string_view line = head.substr(0, end);
    head.remove_prefix(end + kCrLf.size());
    if (line.find_first_of("\r\n") != std::string_view::npos) return std::nullopt;
    if (first_line) {
      if (!parse_request_line(line, out)) return std::nullopt;
      first_line = false;
      continue;
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) return std::nullopt;
    const std::string_view name = line.substr(0, colon);
    const std::string_view value = line.substr(colon + 1);
    if (!std::all_of(name.begin(), name.end(), is_token_char)) return std::nullopt;  // also a folded line
    if (!std::all_of(value.begin(), value.end(), is_field_char)) return std::nullopt;
    if (out.headers.size() == kMaxHeaderCount) return std::nullopt;
    out.headers.emplace_back(lower(name), std::string(trim_blanks(value)));
  }
  if (first_line) return std::nullopt;
  return out;
}

GateDecision examine_request(std::string_view bytes, std::string_view key, bool sockets_full) {
  const std::string_view window = bytes.substr(0, kMaxHeadBytes);
  // The key is in the request line: without it the answer is 403 as soon as that line is in,
  // whatever follows, and nothing of the rest is looked at.
  const std::size_t line_end = window.find(kCrLf);
  if (line_end == std::string_view::npos) return bytes.size() >= kMaxHeadBytes ? refuse(403) : GateDecision{};
  if (!request_line_has_key(window.substr(0, line_end), key)) return refuse(403);
  const std::optional<std::size_t> length = head_length(window);
  if (!length) return bytes.size() >= kMaxHeadBytes ? refuse(431) : GateDecision{};
  const std::optional<RequestHead> head = parse_request_head(bytes.substr(0, *length));
  if (!head) return refuse(400);

  const auto content_length = head->header("content-length");
  if ((content_length && *content_length != "0") || head->header("transfer-encoding")) return refuse(413);
  if (bytes.size() > *length) return refuse(400);  // a body without a length, or a second request
  if (head->method != "GET") return refuse(405);

  if (head->path == "/") return {GateAction::page, 0, {}};
  if (head->path == kSocketPath) {
    const auto upgrade = head->header("upgrade");
    const auto connection = head->header("connection");
    if (!upgrade || lower(*upgrade) != "websocket" || !connection || !contains_token(*connection, "upgrade"))
      return refuse(400);
    return sockets_full ? refuse(503) : GateDecision{GateAction::socket, 0, {}};
  }
  if (auto file = page_file_path(head->path)) return {GateAction::file, 0, std::move(*file)};
  return refuse(404);
}

std::string_view status_reason(int status) {
  switch (status) {
    case 200: return "OK";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 408: return "Request Timeout";
    case 413: return "Content Too Large";
    case 431: return "Request Header Fields Too Large";
    case 503: return "Service Unavailable";
    default: return "Error";
  }
}

}  // namespace tolvex

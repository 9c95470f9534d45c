#include "map/page_files.h"

#include <array>
#include <cctype>

namespace tolvex {
namespace {

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view extension_of(std::string_view name) {
  const auto dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);
}

struct FileType {
  std::string_view extension;
  std::string_view type;
};
constexpr std::array<FileType, 9> kPageFileTypes{{
    {"js", "text/javascript"},
    {"css", "text/css"},
    {"png", "image/png"},
    {"gif", "image/gif"},
    {"jpg", "image/jpeg"},
    {"jpeg", "image/jpeg"},
    {"svg", "image/svg+xml"},
    {"ico", "image/x-icon"},
    {"webp", "image/webp"},
}};

bool segment_allowed(std::string_view segment) {
  if (segment.empty() || segment.front() == '.') return false;  // hidden, ".", ".."
  for (char c : segment) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' || c == '|')
      return false;
  }
  return true;
}

std::string_view host_of(std::string_view host_and_port) {
  if (!host_and_port.empty() && host_and_port.front() == '[') {
    const auto close = host_and_port.find(']');
    return close == std::string_view::npos ? std::string_view{} : host_and_port.substr(1, close - 1);
  }
  return host_and_port.substr(0, host_and_port.find(':'));
}

bool is_ipv4_loopback(std::string_view host) {
  // 127.a.b.c, four decimal parts.
  int parts = 0;
  std::size_t from = 0;
  while (from <= host.size()) {
    const auto dot = host.find('.', from);
    const std::string_view part = host.substr(from, dot == std::string_view::npos ? host.size() - from : dot - from);
    if (part.empty() || part.size() > 3) return false;
    int value = 0;
    for (char c : part) {
      if (c < '0' || c > '9') return false;
      value = value * 10 + (c - '0');
    }
    if (value > 255 || (parts == 0 && value != 127)) return false;
    ++parts;
    if (dot == std::string_view::npos) break;
    from = dot + 1;
  }
  return parts == 4;
}

}  // namespace

std::string page_address(std::string_view name) {
  std::string address(kPageScheme);
  address += "://";
  address += kPageHost;
  address += '/';
  address += name;
  return address;
}

std::optional<std::string> page_file_path(std::string_view address_path) {
  if (address_path.empty() || address_path.front() != '/' || address_path.size() > 256) return std::nullopt;
  const std::string_view path = address_path.substr(1);
  std::size_t from = 0;
  int depth = 0;
  while (true) {
    const auto slash = path.find('/', from);
    const std::string_view segment = path.substr(from, slash == std::string_view::npos ? path.npos : slash - from);
    if (!segment_allowed(segment) || ++depth > 4) return std::nullopt;
    if (slash == std::string_view::npos) break;
    from = slash + 1;
  }
  if (page_file_type(path).empty()) return std::nullopt;
  return std::string(path);
}

std::string_view page_file_type(std::string_view name) {
  const std::string extension = lower(extension_of(name));
  for (const FileType& t : kPageFileTypes)
    if (t.extension == extension) return t.type;
  return {};
}

bool is_loopback_host(std::string_view host_and_port) {
  const std::string host = lower(host_of(host_and_port));
  if (host == "localhost" || host == "::1") return true;
  constexpr std::string_view kLocalhostSuffix = ".localhost";
  if (host.size() > kLocalhostSuffix.size() && host.ends_with(kLocalhostSuffix)) return true;
  return is_ipv4_loopback(host);
}

std::string script_origin(std::string_view host) {
  return std::string(is_loopback_host(host) ? "http://" : "https://") + std::string(host);
}

std::string secure_script_address(std::string_view address) {
  while (!address.empty() && std::isspace(static_cast<unsigned char>(address.front()))) address.remove_prefix(1);
  while (!address.empty() && std::isspace(static_cast<unsigned char>(address.back()))) address.remove_suffix(1);
  if (address.empty()) return {};
  if (address.starts_with("//")) return "https:" + std::string(address);
  const auto colon = address.find(':');
  const auto first_separator = address.find_first_of("/?#");
  bool has_scheme = colon != std::string_view::npos && colon > 0 &&
                    (first_separator == std::string_view::npos || colon < first_separator);
  if (has_scheme) {
    // "host:8080/..." is a host with its port, not a scheme.
    const std::string_view after = address.substr(colon + 1);
    std::size_t digits = 0;
    while (digits < after.size() && std::isdigit(static_cast<unsigned char>(after[digits]))) ++digits;
    if (digits > 0 && (digits == after.size() || after[digits] == '/' || after[digits] == '?' || after[digits] == '#'))
      has_scheme = false;
  }
  if (!has_scheme) return "https://" + std::string(address);
  const std::string scheme = lower(address.substr(0, colon));
  if (scheme == "https") return std::string(address);
  if (scheme != "http" || !address.substr(colon).starts_with("://")) return {};
  const std::string_view rest = address.substr(colon + 3);
  const std::string_view host = rest.substr(0, rest.find_first_of("/?#"));
  if (is_loopback_host(host)) return std::string(address);
  return "https" + std::string(address.substr(colon));
}

}  // namespace tolvex

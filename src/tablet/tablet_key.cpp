#include "tablet/tablet_key.h"

namespace tolvex {
namespace {

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
static_assert(kAlphabet.size() == 64);

bool url_safe(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

}  // namespace

std::string key_from_random(std::span<const std::uint8_t> random_bytes) {
  std::string key;
  key.reserve(random_bytes.size());
  for (std::uint8_t b : random_bytes) key += kAlphabet[b % kAlphabet.size()];
  return key;
}

bool is_valid_key(std::string_view key) {
  if (key.size() < kMinKeyLength) return false;
  for (char c : key)
    if (!url_safe(c)) return false;
  return true;
}

bool key_matches(std::string_view given, std::string_view expected) {
  if (expected.empty()) return false;
  // Every character of the expected key is compared, whatever the given one holds; the length
  // of the given text is the caller's own and tells nothing.
  unsigned difference = given.size() == expected.size() ? 0u : 1u;
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const unsigned char g = i < given.size() ? static_cast<unsigned char>(given[i]) : 0u;
    difference |= g ^ static_cast<unsigned char>(expected[i]);
  }
  return difference == 0;
}

std::optional<std::string_view> query_parameter(std::string_view query, std::string_view name) {
  while (!query.empty()) {
    const std::size_t amp = query.find('&');
    const std::string_view pair = query.substr(0, amp);
    const std::size_t eq = pair.find('=');
    if (pair.substr(0, eq) == name) return eq == std::string_view::npos ? std::string_view{} : pair.substr(eq + 1);
    if (amp == std::string_view::npos) break;
    query.remove_prefix(amp + 1);
  }
  return std::nullopt;
}

std::string tablet_address(std::string_view ipv4, int port, std::string_view key) {
  std::string address = "http://";
  address += ipv4;
  address += ':';
  address += std::to_string(port);
  address += "/?";
  address += kKeyParameter;
  address += '=';
  address += key;
  return address;
}

}  // namespace tolvex

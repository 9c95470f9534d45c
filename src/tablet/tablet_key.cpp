#include "tablet/tablet_key.h"

#include <algorithm>
#include <array>

namespace tolvex {
namespace {

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
static_assert(kAlphabet.size() == 64);

// The four parts of a dotted IPv4 address, or nothing.
std::optional<std::array<int, 4>> ipv4_parts(std::string_view text) {
  std::array<int, 4> parts{};
  std::size_t index = 0;
  for (std::size_t from = 0; index < 4; ++index) {
    const std::size_t dot = text.find('.', from);
    const std::string_view part = text.substr(from, dot == std::string_view::npos ? text.npos : dot - from);
    if (part.empty() || part.size() > 3 || !std::all_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; }))
      return std::nullopt;
    parts[index] = std::stoi(std::string(part));
    if (parts[index] > 255) return std::nullopt;
    if (dot == std::string_view::npos) break;
    from = dot + 1;
  }
  if (index != 3) return std::nullopt;
  return parts;
}

// 0 home network (192.168), 1 (10), 2 (172.16-31), 3 any other; nothing when unreachable.
std::optional<int> address_rank(std::string_view ipv4) {
  const auto p = ipv4_parts(ipv4);
  if (!p || (*p)[0] == 127 || (*p)[0] == 0 || ((*p)[0] == 169 && (*p)[1] == 254) || (*p)[0] >= 224) return std::nullopt;
  if ((*p)[0] == 192 && (*p)[1] == 168) return 0;
  if ((*p)[0] == 10) return 1;
  if ((*p)[0] == 172 && (*p)[1] >= 16 && (*p)[1] <= 31) return 2;
  return 3;
}

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

std::vector<std::string> tablet_addresses(const std::vector<std::string>& ipv4, int port, std::string_view key) {
  std::vector<std::pair<int, std::string>> ranked;
  for (const std::string& a : ipv4) {
    const auto rank = address_rank(a);
    if (!rank) continue;
    if (std::none_of(ranked.begin(), ranked.end(), [&](const auto& r) { return r.second == a; })) ranked.emplace_back(*rank, a);
  }
  std::stable_sort(ranked.begin(), ranked.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
  std::vector<std::string> addresses;
  for (const auto& [rank, a] : ranked) addresses.push_back(tablet_address(a, port, key));
  return addresses;
}

}  // namespace tolvex

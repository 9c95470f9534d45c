#pragma once
// The access key of the tablet view: the one secret that keeps the map private on a shared
// network. Every request and socket carries it as the `clave` parameter of its address.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tolvex {

inline constexpr std::string_view kKeyParameter = "clave";
inline constexpr std::size_t kKeyLength = 32;     // keys the program makes: 192 random bits
inline constexpr std::size_t kMinKeyLength = 24;  // shortest key accepted from CONFIG.INI

// A key from random bytes, one URL-safe character (A-Z a-z 0-9 - _) per byte. 64 symbols
// divide 256, so every character is equally likely.
std::string key_from_random(std::span<const std::uint8_t> random_bytes);

// At least kMinKeyLength characters, every one URL-safe: such a key goes into an address, a
// page and a QR code as it stands.
bool is_valid_key(std::string_view key);

// Whether `given` is `expected`, in a time that does not depend on where they first differ.
// An empty expected key matches nothing.
bool key_matches(std::string_view given, std::string_view expected);

// The raw value of the first `name` parameter of a query ("a=1&clave=XYZ" -> "XYZ"); nothing
// when absent. Not percent-decoded: a key needs no decoding, and a decoded one would not match.
std::optional<std::string_view> query_parameter(std::string_view query, std::string_view name);

// "http://<ipv4>:<port>/?clave=<key>", the address a tablet opens.
std::string tablet_address(std::string_view ipv4, int port, std::string_view key);

// The addresses a tablet may open, one per IPv4 address of this PC that another device can
// reach (not loopback, not link-local), home networks first (192.168, then 10, then 172.16-31,
// then any other), each once.
std::vector<std::string> tablet_addresses(const std::vector<std::string>& ipv4, int port, std::string_view key);

}  // namespace tolvex

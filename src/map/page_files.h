#pragma once
// Our pages and the files they load are served by the program itself under an address scheme
// of its own (tolvex://app/<name>): a page is built in memory, its files (Leaflet, our
// scripts, pictures) come from the executable's folder, and no page ever has a file:// address.
// A script that a page loads from outside (Google's, the chart host's) can therefore read
// nothing but these same page files: never CONFIG.INI, the log or anything else on disk.
#include <optional>
#include <string>
#include <string_view>

namespace tolvex {

inline constexpr std::string_view kPageScheme = "tolvex";
inline constexpr std::string_view kPageHost = "app";

// "tolvex://app/<name>": where the page or page file `name` is served.
std::string page_address(std::string_view name);

// The page file an address path asks for ("/leaflet/leaflet.js" -> "leaflet/leaflet.js"),
// relative to the executable's folder, or nothing when it is not one a page may load: only
// scripts, style sheets and pictures, in the folder or below it, never a hidden name, a step
// up ("..") or a drive or device name. CONFIG.INI, the log, the pilot's text files and sounds
// are never page files.
std::optional<std::string> page_file_path(std::string_view address_path);

// The content type a page file is served with, from its extension.
std::string_view page_file_type(std::string_view name);

// True for this machine's own names: "localhost" (and names under it), 127.x.x.x and ::1,
// with or without a port ("127.0.0.1:8080", "[::1]:80").
bool is_loopback_host(std::string_view host_and_port);

// Where the scripts of a remote host are fetched from: "https://<host>", or "http://<host>"
// for this machine (local tests and proxies).
std::string script_origin(std::string_view host);

// A script address as it may be loaded: https as given; http only towards this machine,
// elsewhere made https; no scheme at all gets https. Any other scheme (file:, data:,
// javascript:...) gives the empty text: such an address is never loaded.
std::string secure_script_address(std::string_view address);

}  // namespace tolvex

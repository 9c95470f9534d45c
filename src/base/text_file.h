#pragma once
// Text files of the program folder. Inside the program text is UTF-8; on disk a file read is
// taken as UTF-8 when its bytes are valid UTF-8 (a byte-order mark is dropped), else as
// Windows-1252. Writes are UTF-8 on Linux and Windows-1252 on Windows, and atomic.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tolvex {

enum class TextEncoding { Utf8, Windows1252 };

// Raw bytes of a file; throws std::runtime_error (Spanish message naming the file) when it
// cannot be read (missing, a folder, no permission). Paths are UTF-8.
bool file_exists(const std::string& path);
std::string read_file_bytes(const std::string& path);

// Bytes as they lie on disk -> UTF-8 text (BOM dropped, Windows-1252 when not valid UTF-8).
std::string decode_text(std::string_view bytes);
// Bytes known to be in `encoding` -> UTF-8 (no detection, BOM kept).
std::string decode_bytes(std::string_view bytes, TextEncoding encoding);
// UTF-8 text -> bytes for disk in the given encoding (characters Windows-1252 lacks become '?').
std::string encode_text(std::string_view utf8, TextEncoding encoding);
TextEncoding platform_text_encoding();
// Strict UTF-8 check (no overlong forms, no surrogates, nothing above U+10FFFF).
bool is_utf8(std::string_view bytes);

// Reads and decodes a whole text file; throws std::runtime_error when it cannot be read.
std::string read_text_file(const std::string& path);

// Lines ended by CR LF, LF or a lone CR; the line break is not part of the line; a last line
// without a break still counts, a final break does not start an empty line.
std::vector<std::string_view> split_lines(std::string_view text);

// Calls f(line) for each line with the breaks of split_lines, without building a vector of a
// large file's lines.
template <typename F>
void for_each_line(std::string_view text, F&& f) {
  const char* p = text.data();
  const char* const end = p + text.size();
  while (p < end) {
    const char* q = p;
    while (q < end && *q != '\n' && *q != '\r') ++q;
    f(std::string_view(p, static_cast<std::size_t>(q - p)));
    if (q < end) q += (*q == '\r' && q + 1 < end && q[1] == '\n') ? 2 : 1;
    p = q;
  }
}

// Writes bytes to a temporary file beside `path`, flushes it and renames it over `path`, so a
// crash never leaves half a file. Throws std::runtime_error ("No se ha podido escribir el
// fichero <path>") on failure; the old file stays as it was and no temporary file is left.
void write_file_atomically(const std::string& path, std::string_view bytes);

// Appends bytes to a file, creating it when missing; returns false on failure, never throws.
bool append_to_file(const std::string& path, std::string_view bytes);

// True when a file was removed.
bool delete_file(const std::string& path);

// Size in bytes of a file; 0 when it is missing or cannot be read.
std::uintmax_t file_size_or_zero(const std::string& path);

// Renames `from` to `to`, replacing a file already there; false on failure, never throws.
bool rename_replacing(const std::string& from, const std::string& to);

}  // namespace tolvex

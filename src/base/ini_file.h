#pragma once
// CONFIG.INI with the Windows profile semantics the settings assume: section and key names
// match case-insensitively, blanks around keys and values are trimmed, a write changes that one
// line and keeps every other byte of the file, a new key goes at the end of its section, a new
// section at the end of the file, delete removes the key's lines. Writes are gathered in memory
// and reach the disk atomically (temporary file + rename) at flush(); nothing is created until
// the first flush that has something to write.
//
// Details: a section header is a line whose first non-blank character is '[' (name up to the
// last ']', blanks trimmed); a key line holds '=' (a line starting with ';' is a comment); a
// repeated section or key: only the first occurrence is read and written (a delete removes
// every line of the key in that section); lines before the first section belong to no
// section. A value wrapped in one pair of matching quotes is read without them. Values come
// back as UTF-8 and are written in the file's own encoding (UTF-8 when its bytes are valid
// UTF-8, else Windows-1252; a new or pure ASCII file takes the platform's); a Windows-1252 file
// that an edit would leave valid UTF-8 is turned into UTF-8, so that it still reads the same.
// Line breaks inside written names or values become blanks, so a value can never add a line.
// New lines use the file's first line ending (CR LF for a new file).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_file.h"

namespace tolvex {

class IniFile {
 public:
  // Reads the file when it exists (any bytes: garbage, BOM, CR/LF/CR LF mixes, 1 MB lines).
  // A file that exists but cannot be read is treated as empty and can_save() turns false,
  // so a later flush never replaces a file we could not read.
  explicit IniFile(std::string path);
  static IniFile from_text(std::string path, std::string bytes);  // for tests and benches

  std::string read_string(std::string_view section, std::string_view key, std::string_view def) const;
  std::int32_t read_integer(std::string_view section, std::string_view key, std::int32_t def) const;
  bool has_key(std::string_view section, std::string_view key) const;

  // Existing key: that line becomes "KEY=value" with its own line ending. New key: after the
  // last key line of the section's first occurrence. New section: "[SECTION]" and the key at
  // the end of the file.
  void write_string(std::string_view section, std::string_view key, std::string_view value);
  void write_integer(std::string_view section, std::string_view key, std::int32_t value);
  void delete_key(std::string_view section, std::string_view key);

  // Writes the file atomically when something changed; throws std::runtime_error (Spanish
  // text naming the file) when it cannot, leaving the file on disk as it was.
  void flush();
  bool dirty() const { return dirty_; }
  bool can_save() const { return readable_; }
  const std::string& path() const { return path_; }
  const std::string& bytes() const { return bytes_; }  // current content, as it would be written

 private:
  enum class LineKind : std::uint8_t { Other, Section, Key };
  struct Line {
    std::size_t start = 0;   // offset in bytes_
    std::size_t length = 0;  // without the line ending
    std::uint8_t eol = 0;    // 0, 1 or 2 bytes of line ending
    LineKind kind = LineKind::Other;
    std::size_t name_offset = 0, name_length = 0;    // section or key name, from start
    std::size_t value_offset = 0, value_length = 0;  // key value, from start
  };
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

  IniFile(std::string path, std::string bytes, bool readable);
  void build_index();
  void classify(Line& line) const;
  std::string_view name_of(const Line& line) const;
  std::size_t find_section(std::string_view section) const;
  std::size_t find_key(std::size_t section_line, std::string_view key) const;
  void replace_line(std::size_t index, const std::string& content);
  void insert_bytes(std::size_t offset, const std::string& text);
  void keep_text_meaning();

  std::string path_;
  std::string bytes_;
  bool dirty_ = false;
  bool readable_ = true;
  std::vector<Line> lines_;
  TextEncoding encoding_ = TextEncoding::Utf8;
  std::string eol_ = "\r\n";
};

}  // namespace tolvex

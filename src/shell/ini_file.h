#pragma once
// CONFIG.INI with the Windows profile semantics the settings assume: section and key names
// match case-insensitively, blanks around keys and values are trimmed, a write changes that one
// line and keeps every other byte of the file, a new key goes at the end of its section, a new
// section at the end of the file, delete removes the line. Writes are gathered in memory and
// reach the disk atomically (temporary file + rename) at flush(); nothing is created until the
// first flush that has something to write.
#include <cstdint>
#include <string>
#include <string_view>

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
  std::string path_;
  std::string bytes_;
  bool dirty_ = false;
  bool readable_ = true;
};

}  // namespace tolvex

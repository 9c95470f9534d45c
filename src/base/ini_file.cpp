#include "base/ini_file.h"

#include <stdexcept>
#include <tuple>
#include <utility>

#include "base/number_format.h"

namespace tolvex {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
  return true;
}

bool is_ascii(std::string_view bytes) {
  for (char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// A line break inside a name or value would split the line and could plant other keys.
std::string one_line(std::string_view text) {
  std::string out(trim(text));
  for (char& c : out)
    if (c == '\r' || c == '\n') c = ' ';
  return out;
}

bool is_quoted(std::string_view value) {
  return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
}

// (offset, length) of `part` inside `whole`; both views point into the same buffer.
std::pair<std::size_t, std::size_t> span_in(std::string_view whole, std::string_view part) {
  return {static_cast<std::size_t>(part.data() - whole.data()), part.size()};
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {
  if (file_exists(path_)) {
    try {
      bytes_ = read_file_bytes(path_);
    } catch (const std::exception&) {
      bytes_.clear();
      readable_ = false;
    }
  }
  build_index();
}

IniFile::IniFile(std::string path, std::string bytes, bool readable)
    : path_(std::move(path)), bytes_(std::move(bytes)), readable_(readable) {
  build_index();
}

IniFile IniFile::from_text(std::string path, std::string bytes) {
  return IniFile(std::move(path), std::move(bytes), true);
}

void IniFile::build_index() {
  lines_.clear();
  const std::string_view all = bytes_;
  std::size_t pos = all.substr(0, kBom.size()) == kBom ? kBom.size() : 0;
  const std::string_view body = all.substr(pos);
  // A byte-order mark says UTF-8, but bytes after it that are not UTF-8 are read as any other
  // text file's: as Windows-1252.
  if (is_ascii(body)) encoding_ = pos != 0 ? TextEncoding::Utf8 : platform_text_encoding();
  else encoding_ = is_utf8(body) ? TextEncoding::Utf8 : TextEncoding::Windows1252;

  bool eol_found = false;
  eol_ = "\r\n";
  while (pos < all.size()) {
    Line line;
    line.start = pos;
    std::size_t end = pos;
    while (end < all.size() && all[end] != '\n' && all[end] != '\r') ++end;
    line.length = end - pos;
    if (end < all.size()) {
      line.eol = (all[end] == '\r' && end + 1 < all.size() && all[end + 1] == '\n') ? 2 : 1;
      if (!eol_found) {
        eol_ = std::string(all.substr(end, line.eol));
        eol_found = true;
      }
    }
    classify(line);
    lines_.push_back(line);
    pos = end + line.eol;
  }
}

void IniFile::classify(Line& line) const {
  const std::string_view content = std::string_view(bytes_).substr(line.start, line.length);
  const std::string_view text = trim(content);
  line.kind = LineKind::Other;
  if (text.empty() || text.front() == ';') return;
  if (text.front() == '[') {
    const auto close = text.rfind(']');
    if (close == std::string_view::npos || close == 0) return;
    line.kind = LineKind::Section;
    std::tie(line.name_offset, line.name_length) = span_in(content, trim(text.substr(1, close - 1)));
    return;
  }
  const auto equals = text.find('=');
  if (equals == std::string_view::npos) return;
  line.kind = LineKind::Key;
  std::tie(line.name_offset, line.name_length) = span_in(content, trim(text.substr(0, equals)));
  std::tie(line.value_offset, line.value_length) = span_in(content, trim(text.substr(equals + 1)));
}

std::string_view IniFile::name_of(const Line& line) const {
  return std::string_view(bytes_).substr(line.start + line.name_offset, line.name_length);
}

std::size_t IniFile::find_section(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].kind == LineKind::Section && same_name(name_of(lines_[i]), section)) return i;
  return npos;
}

std::size_t IniFile::find_key(std::size_t section_line, std::string_view key) const {
  if (section_line == npos) return npos;
  for (std::size_t i = section_line + 1; i < lines_.size() && lines_[i].kind != LineKind::Section; ++i)
    if (lines_[i].kind == LineKind::Key && same_name(name_of(lines_[i]), key)) return i;
  return npos;
}

std::string IniFile::read_string(std::string_view section, std::string_view key, std::string_view def) const {
  const std::size_t index = find_key(find_section(section), key);
  if (index == npos) return std::string(def);
  const Line& line = lines_[index];
  std::string_view value = std::string_view(bytes_).substr(line.start + line.value_offset, line.value_length);
  if (is_quoted(value)) value = value.substr(1, value.size() - 2);
  return decode_bytes(value, encoding_);
}

std::int32_t IniFile::read_integer(std::string_view section, std::string_view key, std::int32_t def) const {
  if (!has_key(section, key)) return def;
  return parse_int32(read_string(section, key, "")).value_or(def);
}

bool IniFile::has_key(std::string_view section, std::string_view key) const {
  return find_key(find_section(section), key) != npos;
}

void IniFile::replace_line(std::size_t index, const std::string& content) {
  Line& line = lines_[index];
  if (std::string_view(bytes_).substr(line.start, line.length) == content) return;
  const std::size_t old_length = line.length;
  bytes_.replace(line.start, old_length, content);
  line.length = content.size();
  classify(line);
  for (std::size_t i = index + 1; i < lines_.size(); ++i) lines_[i].start = lines_[i].start - old_length + content.size();
  dirty_ = true;
  keep_text_meaning();
}

void IniFile::insert_bytes(std::size_t offset, const std::string& text) {
  bytes_.insert(offset, text);
  dirty_ = true;
  // Inserts are rare (a key or section that did not exist yet): index the file again. The
  // encoding found at load time is kept, so the written value's bytes cannot change it.
  const TextEncoding encoding = encoding_;
  build_index();
  encoding_ = encoding;
  keep_text_meaning();
}

void IniFile::keep_text_meaning() {
  // A Windows-1252 file whose bytes have become valid UTF-8 (its last other byte deleted or
  // replaced, or a written value that happens to form UTF-8 sequences) would be read as UTF-8
  // next time, and its other values would change: it becomes UTF-8 as a whole, same text.
  if (encoding_ != TextEncoding::Windows1252) return;
  const std::size_t bom = std::string_view(bytes_).starts_with(kBom) ? kBom.size() : 0;
  const std::string_view body = std::string_view(bytes_).substr(bom);
  if (is_ascii(body) || !is_utf8(body)) return;
  bytes_ = bytes_.substr(0, bom) + decode_bytes(body, TextEncoding::Windows1252);
  build_index();
}

void IniFile::write_string(std::string_view section, std::string_view key, std::string_view value) {
  const std::string key_text = one_line(key);
  std::string value_text = one_line(value);
  // Reading drops one pair of quotes around a value, so a value that has them gets one more.
  if (is_quoted(value_text)) value_text = value_text.front() + value_text + value_text.front();
  const std::string line_text = encode_text(key_text, encoding_) + "=" + encode_text(value_text, encoding_);
  const std::size_t section_line = find_section(section);
  if (section_line == npos) {
    std::string text;
    if (!lines_.empty() && lines_.back().eol == 0) text += eol_;
    text += "[" + encode_text(one_line(section), encoding_) + "]" + eol_ + line_text + eol_;
    insert_bytes(bytes_.size(), text);
    return;
  }
  const std::size_t index = find_key(section_line, key_text);
  if (index != npos) {
    replace_line(index, line_text);
    return;
  }
  std::size_t after = section_line;
  for (std::size_t i = section_line + 1; i < lines_.size() && lines_[i].kind != LineKind::Section; ++i)
    if (lines_[i].kind == LineKind::Key) after = i;
  const Line& line = lines_[after];
  const std::size_t offset = line.start + line.length + line.eol;
  // After an unterminated last line the new line becomes the unterminated one. A lone CR
  // before an LF would join it and swallow the blank line that LF ends.
  std::string eol = eol_;
  if (eol == "\r" && offset < bytes_.size() && bytes_[offset] == '\n') eol = "\r\n";
  insert_bytes(offset, line.eol == 0 ? eol_ + line_text : line_text + eol);
}

void IniFile::write_integer(std::string_view section, std::string_view key, std::int32_t value) {
  write_string(section, key, std::to_string(value));
}

void IniFile::delete_key(std::string_view section, std::string_view key) {
  // Every line of the key in the section: with only the first gone, a repeated line in a
  // hand-edited file would be read instead and the key would seem to come back.
  const std::size_t section_line = find_section(section);
  for (std::size_t index; (index = find_key(section_line, key)) != npos;) {
    const Line& line = lines_[index];
    const std::size_t start = line.start;
    const std::size_t length = line.length + line.eol;
    const TextEncoding encoding = encoding_;
    bytes_.erase(start, length);
    // A lone CR ending the line before must not join an LF that now follows it.
    if (start > 0 && bytes_[start - 1] == '\r' && start < bytes_.size() && bytes_[start] == '\n')
      bytes_.insert(start, 1, '\n');
    dirty_ = true;
    build_index();
    encoding_ = encoding;
  }
  keep_text_meaning();
}

void IniFile::flush() {
  if (!dirty_) return;
  if (!readable_)
    throw std::runtime_error("No se ha podido escribir el fichero " + path_ +
                             ": no se pudo leer al abrirlo y se conserva sin cambios");
  write_file_atomically(path_, bytes_);
  dirty_ = false;
}

}  // namespace tolvex

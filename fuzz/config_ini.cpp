// CONFIG.INI as a pilot may have edited it: any bytes, then writes and deletes of the program's
// keys as the close and the configuration window make them. After each step the key reads back
// what was written (trimmed, line breaks as blanks), every other key keeps its value, values
// come back as UTF-8 and the file's other lines are untouched; at the end the text read afresh
// gives the same values, and the settings loaded from it are within their ranges.
//
// Input: the file's bytes, then steps separated by lines holding "%%"; a step is one byte of
// operation ('D' deletes, anything else writes), one byte choosing the key, then the value.
#include <array>
#include <cctype>
#include <optional>
#include <string>

#include "base/ini_file.h"
#include "base/text_file.h"
#include "fuzz_support.h"
#include "shell/settings.h"

namespace {

using namespace tolvex;
using tolvex::fuzz::well_formed_utf8;

struct Key {
  std::string_view section, name;
};
constexpr Key kKeys[] = {
    {"INICIO", "SIZE"},       {"INICIO", "TIPOMAPA"},  {"INICIO", "SONIDOS"},     {"INICIO", "AUTOMAT"},
    {"INICIO", "PUERTO"},     {"INICIO", "DIRIP"},     {"INICIO", "INTERVALO"},   {"INICIO", "TIPOCONEXION"},
    {"INICIO", "DEBUG"},      {"INICIO", "PUNTOSVFR"}, {"INICIO", "XPLANE"},      {"INICIO", "VERAIRSPACES"},
    {"INICIO", "TIPOG"},      {"RUTA", "ANCHO"},       {"RUTA", "COLOR"},         {"RUTA", "TRANS"},
    {"RUTA", "VIS"},          {"RUTA", "VELOCIDAD"},   {"RUTA", "CONSUMO"},       {"RUTADIN", "ANCHO"},
    {"RUTADIN", "COLOR"},     {"RUTADIN", "TRANS"},    {"MAPAS", "CLAVE"},        {"MAPAS", "PROVEEDOR"},
    {"MAPAS", "TESELAS"},
};
constexpr std::size_t kKeyCount = std::size(kKeys);
using Values = std::array<std::optional<std::string>, kKeyCount>;

Values read_all(const IniFile& ini) {
  Values values;
  for (std::size_t i = 0; i < kKeyCount; ++i) {
    if (!ini.has_key(kKeys[i].section, kKeys[i].name)) continue;
    values[i] = ini.read_string(kKeys[i].section, kKeys[i].name, "");
    FUZZ_CHECK(well_formed_utf8(*values[i]));
  }
  return values;
}

// What a written value must read back as: blanks and control characters trimmed at both ends,
// line breaks inside turned into blanks.
std::string read_back_form(std::string_view value) {
  std::size_t begin = 0, end = value.size();
  while (begin < end && static_cast<unsigned char>(value[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(value[end - 1]) <= ' ') --end;
  std::string out(value.substr(begin, end - begin));
  for (char& c : out)
    if (c == '\r' || c == '\n') c = ' ';
  return out;
}

// Lines of `after` are those of `before` but for one region of at most `changed` old lines.
bool other_lines_kept(const std::string& before, const std::string& after, std::size_t changed) {
  const std::string old_text = decode_text(before), new_text = decode_text(after);
  const auto old_lines = split_lines(old_text), new_lines = split_lines(new_text);
  std::size_t prefix = 0, suffix = 0;
  while (prefix < old_lines.size() && prefix < new_lines.size() && old_lines[prefix] == new_lines[prefix]) ++prefix;
  while (suffix < old_lines.size() - prefix && suffix < new_lines.size() - prefix &&
         old_lines[old_lines.size() - 1 - suffix] == new_lines[new_lines.size() - 1 - suffix])
    ++suffix;
  return old_lines.size() - prefix - suffix <= changed;
}

bool same_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

// After a delete: the lines of `after` are those of `before` in order, less lines of `key` only.
bool only_key_lines_removed(const std::string& before, const std::string& after, std::string_view key) {
  const std::string old_text = decode_text(before), new_text = decode_text(after);
  const auto old_lines = split_lines(old_text), new_lines = split_lines(new_text);
  std::size_t o = 0;
  for (std::string_view line : new_lines) {
    for (; o < old_lines.size() && old_lines[o] != line; ++o) {
      const auto equals = old_lines[o].find('=');
      if (equals == std::string_view::npos) return false;
      std::string_view name = old_lines[o].substr(0, equals);
      while (!name.empty() && static_cast<unsigned char>(name.front()) <= ' ') name.remove_prefix(1);
      while (!name.empty() && static_cast<unsigned char>(name.back()) <= ' ') name.remove_suffix(1);
      if (!same_name(name, key)) return false;
    }
    if (o == old_lines.size()) return false;
    ++o;
  }
  return true;
}

void check_settings(const IniFile& ini) {
  for (const char separator : {',', '.'}) {
    const Settings s = load_settings(ini, separator);
    FUZZ_CHECK(s.mapsize >= 0 && s.mapsize <= 3);
    FUZZ_CHECK(!(s.mapsize == 3 && s.MapaSK));
    FUZZ_CHECK(s.puerto >= 1 && s.puerto <= 65535);
    FUZZ_CHECK(s.intervalo_ms >= 1);
    FUZZ_CHECK(s.maps.proveedor == "osm" || s.maps.proveedor == "google");
  }
}

// Whether a UTF-8 value survives a Windows-1252 file unchanged (no character turned into '?').
bool fits_windows1252(std::string_view value) {
  return decode_bytes(encode_text(value, TextEncoding::Windows1252), TextEncoding::Windows1252) == value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = tolvex::fuzz::split_parts(tolvex::fuzz::as_text(data, size));
  IniFile ini = IniFile::from_text("/nonexistent/CONFIG.INI", std::string(parts[0]));
  check_settings(ini);
  std::string body(parts[0]);
  if (body.starts_with("\xEF\xBB\xBF")) body.erase(0, 3);
  const bool utf8_file = well_formed_utf8(body);

  Values expected = read_all(ini);
  for (std::size_t p = 1; p < parts.size(); ++p) {
    const std::string_view step = parts[p];
    if (step.size() < 2) continue;
    const std::size_t k = static_cast<unsigned char>(step[1]) % kKeyCount;
    const Key& key = kKeys[k];
    const std::string before = ini.bytes();
    const bool existed = expected[k].has_value();
    bool exact = true;
    if (step[0] == 'D') {
      ini.delete_key(key.section, key.name);
      expected[k].reset();
      if (!only_key_lines_removed(before, ini.bytes(), key.name)) {
        tolvex::fuzz::show("before", before);
        tolvex::fuzz::show("after", ini.bytes());
        FUZZ_CHECK(!"only the key's lines removed");
      }
    } else {
      // The program writes UTF-8 text it got from its windows.
      const std::string value = decode_text(step.substr(2));
      ini.write_string(key.section, key.name, value);
      expected[k] = read_back_form(value);
      exact = utf8_file || fits_windows1252(value);
      if (!other_lines_kept(before, ini.bytes(), existed ? 1 : 0)) {
        tolvex::fuzz::show("before", before);
        tolvex::fuzz::show("after", ini.bytes());
        FUZZ_CHECK(!"other lines kept");
      }
    }
    const Values now = read_all(ini);
    for (std::size_t i = 0; i < kKeyCount; ++i) {
      if (i == k && !exact) continue;
      if (now[i] != expected[i])
        std::fprintf(stderr, "%s/%s reads [%s], expected [%s]\n", std::string(kKeys[i].section).c_str(),
                     std::string(kKeys[i].name).c_str(), now[i].value_or("(none)").c_str(),
                     expected[i].value_or("(none)").c_str());
      FUZZ_CHECK(now[i] == expected[i]);
    }
    expected[k] = now[k];
  }

  const IniFile reread = IniFile::from_text("/nonexistent/CONFIG.INI", ini.bytes());
  FUZZ_CHECK(read_all(reread) == expected);
  if (parts.size() > 1) check_settings(reread);
  return 0;
}

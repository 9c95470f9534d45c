#pragma once
// What the fuzz targets share: a check that stops the run with a message (libFuzzer then saves
// the input as a finding), a UTF-8 check written apart from the code under test, and the
// splitting of one input into parts.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace tolvex::fuzz {

[[noreturn]] inline void fail(const char* what, const char* file, int line) {
  std::fprintf(stderr, "\n*** Property broken at %s:%d: %s\n", file, line, what);
  std::abort();
}

#define FUZZ_CHECK(condition) ((condition) ? (void)0 : ::tolvex::fuzz::fail(#condition, __FILE__, __LINE__))

// Prints text with every byte outside printable ASCII as \xNN, to explain a finding.
inline void show(const char* label, std::string_view text) {
  std::fprintf(stderr, "%s: \"", label);
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b < 0x7F && b != '\\') std::fputc(b, stderr);
    else std::fprintf(stderr, "\\x%02X", b);
  }
  std::fprintf(stderr, "\"\n");
}

inline std::string_view as_text(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Well-formed UTF-8 after the table of well-formed byte sequences of the Unicode standard:
// each row gives the range of the first byte and of each following byte.
inline bool well_formed_utf8(std::string_view text) {
  struct Row {
    unsigned char first_lo, first_hi;
    unsigned char next[3][2];
    int length;
  };
  static constexpr Row rows[] = {
      {0xC2, 0xDF, {{0x80, 0xBF}}, 2},
      {0xE0, 0xE0, {{0xA0, 0xBF}, {0x80, 0xBF}}, 3},
      {0xE1, 0xEC, {{0x80, 0xBF}, {0x80, 0xBF}}, 3},
      {0xED, 0xED, {{0x80, 0x9F}, {0x80, 0xBF}}, 3},
      {0xEE, 0xEF, {{0x80, 0xBF}, {0x80, 0xBF}}, 3},
      {0xF0, 0xF0, {{0x90, 0xBF}, {0x80, 0xBF}, {0x80, 0xBF}}, 4},
      {0xF1, 0xF3, {{0x80, 0xBF}, {0x80, 0xBF}, {0x80, 0xBF}}, 4},
      {0xF4, 0xF4, {{0x80, 0x8F}, {0x80, 0xBF}, {0x80, 0xBF}}, 4},
  };
  std::size_t i = 0;
  while (i < text.size()) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      ++i;
      continue;
    }
    const Row* row = nullptr;
    for (const Row& r : rows)
      if (b >= r.first_lo && b <= r.first_hi) row = &r;
    if (!row || i + row->length > text.size()) return false;
    for (int k = 1; k < row->length; ++k) {
      const auto c = static_cast<unsigned char>(text[i + k]);
      if (c < row->next[k - 1][0] || c > row->next[k - 1][1]) return false;
    }
    i += row->length;
  }
  return true;
}

// The parts of an input separated by lines holding only "%%" (the seeds are text files).
inline std::vector<std::string_view> split_parts(std::string_view input) {
  static constexpr std::string_view kSeparator = "\n%%\n";
  std::vector<std::string_view> parts;
  for (;;) {
    const auto at = input.find(kSeparator);
    parts.push_back(input.substr(0, at));
    if (at == std::string_view::npos) return parts;
    input.remove_prefix(at + kSeparator.size());
  }
}

}  // namespace tolvex::fuzz

// Text files' bytes to the program's UTF-8 and back. Decoding always gives well-formed UTF-8;
// valid UTF-8 comes through unchanged (without its byte-order mark); anything else is read as
// Windows-1252, and writing it back in Windows-1252 gives the very bytes read. The line split
// gives lines without line breaks that, put back together, are the text.
#include <string>

#include "base/text_file.h"
#include "fuzz_support.h"

namespace {

using namespace tolvex;
using tolvex::fuzz::well_formed_utf8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = tolvex::fuzz::as_text(data, size);
  std::string_view body = bytes;
  if (body.starts_with("\xEF\xBB\xBF")) body.remove_prefix(3);

  FUZZ_CHECK(is_utf8(bytes) == well_formed_utf8(bytes));
  const std::string text = decode_text(bytes);
  FUZZ_CHECK(well_formed_utf8(text));
  if (well_formed_utf8(body)) {
    FUZZ_CHECK(text == body);
  } else {
    FUZZ_CHECK(text == decode_bytes(body, TextEncoding::Windows1252));
    FUZZ_CHECK(encode_text(text, TextEncoding::Windows1252) == body);
  }
  FUZZ_CHECK(well_formed_utf8(decode_bytes(bytes, TextEncoding::Windows1252)));
  FUZZ_CHECK(encode_text(text, TextEncoding::Utf8) == text);
  // Any UTF-8 text can be written in Windows-1252 (unknown characters as '?') and read back.
  FUZZ_CHECK(well_formed_utf8(decode_bytes(encode_text(text, TextEncoding::Windows1252), TextEncoding::Windows1252)));

  std::string joined;
  std::size_t breaks = 0;
  for (std::string_view line : split_lines(text)) {
    FUZZ_CHECK(line.find_first_of("\r\n") == std::string_view::npos);
    joined += line;
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || text[i] == '\r') {
      ++breaks;
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    }
  }
  std::string without_breaks;
  for (char c : text)
    if (c != '\r' && c != '\n') without_breaks += c;
  FUZZ_CHECK(joined == without_breaks);
  const std::size_t unterminated = !text.empty() && text.back() != '\n' && text.back() != '\r';
  FUZZ_CHECK(split_lines(text).size() == breaks + unterminated);
  return 0;
}

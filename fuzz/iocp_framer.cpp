// The line framer between the IOCP Server's socket and the reply parser. Whatever bytes arrive,
// in whatever pieces, the framer gives the lines the stream holds, each without its LF (and
// without a CR just before it), never a line holding LF, and the same lines however the stream
// is cut; a line beyond the length limit is refused with std::runtime_error.
//
// Input: one byte choosing how the stream is cut (and, with its three top bits set, that a line
// of about the length limit is put in the middle of the stream), then the stream.
#include <stdexcept>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "simlink/iocp_protocol.h"

namespace {

using namespace tolvex;

// The stream's complete lines as the protocol defines them, and whether the framer must refuse it.
struct Expected {
  std::vector<std::string> lines;
  bool too_long = false;
};

Expected frame_by_hand(std::string_view stream) {
  Expected e;
  std::size_t start = 0;
  for (;;) {
    const auto lf = stream.find('\n', start);
    if (lf == std::string_view::npos) {
      // The line still arriving may hold one byte more: a CR waiting for its LF.
      e.too_long = stream.size() - start > IocpLineFramer::kMaxLineBytes + 1;
      return e;
    }
    std::string line(stream.substr(start, lf - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > IocpLineFramer::kMaxLineBytes) {
      e.too_long = true;
      return e;
    }
    e.lines.push_back(std::move(line));
    start = lf + 1;
  }
}

// Feeds the stream in pieces of the given sizes (cycled); returns the lines taken and whether
// the framer refused the stream.
std::pair<std::vector<std::string>, bool> frame(std::string_view stream, const std::vector<std::size_t>& cuts) {
  IocpLineFramer framer;
  std::vector<std::string> lines;
  bool refused = false;
  std::size_t k = 0;
  try {
    while (!stream.empty()) {
      const std::size_t n = std::min(cuts[k++ % cuts.size()], stream.size());
      framer.feed(stream.substr(0, n));
      stream.remove_prefix(n);
      while (auto line = framer.next_line()) lines.push_back(std::move(*line));
    }
  } catch (const std::runtime_error&) {
    refused = true;
    while (auto line = framer.next_line()) lines.push_back(std::move(*line));
  }
  for (const std::string& line : lines) FUZZ_CHECK(line.find('\n') == std::string::npos);
  return {lines, refused};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t mode = data[0];
  std::string stream(tolvex::fuzz::as_text(data + 1, size - 1));
  const bool long_stream = (mode & 0xE0) == 0xE0 && !stream.empty();
  if (long_stream) {
    // The stream's own lines around one line of its bytes repeated to about the limit.
    std::string no_breaks;
    for (char c : stream)
      if (c != '\n') no_breaks += c;
    if (!no_breaks.empty()) {
      const std::size_t target = IocpLineFramer::kMaxLineBytes - 2 + (mode & 0x07);
      std::string long_line;
      while (long_line.size() < target) long_line += no_breaks;
      long_line.resize(target);
      stream = stream + "\n" + long_line + stream;
    }
  }
  const Expected expected = frame_by_hand(stream);

  // Small pieces only for short streams: a long one that way would take most of the run.
  const std::vector<std::size_t> cut_sets[] = {
      {stream.size() + 1}, {1u + (mode & 0x0F), 1, 2u + (mode >> 4 & 0x03)}, {4096, 1}, {1}};
  for (const auto& cuts : cut_sets) {
    if (long_stream && cuts.front() < 16) continue;
    const auto [lines, refused] = frame(stream, cuts);
    FUZZ_CHECK(refused == expected.too_long);
    // Refused or not, every line completed before the long one is given, and nothing else.
    FUZZ_CHECK(lines == expected.lines);
  }
  return 0;
}

// The tablet server's gate (tablet/request_gate.h) on any bytes a connection may send. It never
// waits past the head bound; whatever it lets through carried the key as a whole parameter of
// the request line, and nothing is let through for any other key; a file it serves is one the
// page scheme's rule allows, under the program folder, with no step up or hidden name.
//
// Input: the first byte's low bit says whether the sockets are full; the rest is what the
// connection sent.
#include <string>

#include "fuzz_support.h"
#include "map/page_files.h"
#include "tablet/request_gate.h"

namespace {

using namespace tolvex;

const std::string kKey = "ClaveDePrueba_0123456789abcdef";
const std::string kOtherKey = "ClaveDePrueba_0123456789abcdeF";

// The key as a whole parameter of the first line, found without the gate's parser.
bool line_carries_key(std::string_view bytes, const std::string& key) {
  const std::string_view line = bytes.substr(0, bytes.find("\r\n"));
  const std::string wanted = "clave=" + key;
  for (std::size_t at = line.find(wanted); at != std::string_view::npos; at = line.find(wanted, at + 1)) {
    const std::size_t end = at + wanted.size();
    if (at > 0 && (line[at - 1] == '?' || line[at - 1] == '&') && end < line.size() && (line[end] == ' ' || line[end] == '&'))
      return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool full = data[0] & 1;
  const std::string_view bytes = fuzz::as_text(data + 1, size - 1);
  const GateDecision d = examine_request(bytes, kKey, full);

  if (d.action == GateAction::wait) FUZZ_CHECK(bytes.size() < kMaxHeadBytes);
  if (d.action == GateAction::refuse) FUZZ_CHECK(d.status >= 400 && d.status < 600);
  const bool passed = d.action == GateAction::page || d.action == GateAction::file || d.action == GateAction::socket;
  if (passed) {
    FUZZ_CHECK(line_carries_key(bytes, kKey));
    FUZZ_CHECK(bytes.substr(0, 4) == "GET ");
    FUZZ_CHECK(bytes.size() <= kMaxHeadBytes);
  }
  if (d.action == GateAction::socket) FUZZ_CHECK(!full);
  if (d.action == GateAction::file) {
    FUZZ_CHECK(page_file_path("/" + d.file) == d.file);
    // No segment is hidden or a step up.
    FUZZ_CHECK(!d.file.empty() && d.file.front() != '.' && d.file.front() != '/');
    FUZZ_CHECK(d.file.find("/.") == std::string::npos);
    FUZZ_CHECK(d.file.find('\\') == std::string::npos && d.file.find(':') == std::string::npos);
    FUZZ_CHECK(!page_file_type(d.file).empty());
  }
  // For a request without it, another key opens nothing and says no more than 403.
  if (!line_carries_key(bytes, kOtherKey)) {
    const GateDecision other = examine_request(bytes, kOtherKey, full);
    if (other.action != GateAction::wait) FUZZ_CHECK(other.action == GateAction::refuse && other.status == 403);
  }
  return 0;
}

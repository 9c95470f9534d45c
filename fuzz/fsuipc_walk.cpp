// The FSUIPC link's queue and its walk over the replies, with a server that may damage the
// block. Each read or write is queued exactly when it fits (16 or 12 header bytes, its data
// and the end mark within 0x7F00 bytes), else it fails with code 15 and writes nothing; the
// block sent holds the records as queued and the end mark. Whatever the server leaves in the
// block, processing touches nothing outside it or outside the destinations (guard bytes around
// each; AddressSanitizer for the rest), changes nothing in the block, puts into a destination
// only the data of a read record of that destination's size, and consumes the queue. With the
// headers left intact each destination gets exactly its record's data; with an answer other
// than 1 none gets anything.
//
// Input, text: lines "r|n|w <offset hex> <size hex>" (a read into a destination, a read without
// one, a write), then a line "%%" and the server: 'h' fills every read's data honestly from
// the bytes that follow; 'a' does the same but answers 0; "d<hex position>:" fills honestly,
// then copies the bytes that follow over the block at that position; 'f' fills the whole block
// with the bytes that follow, repeated.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "simlink/fsuipc_client.h"

namespace {

using namespace tolvex;

constexpr std::size_t kMaxOperations = 64;
constexpr std::size_t kGuardBytes = 16;
constexpr unsigned char kGuard = 0xA5, kUnwritten = 0x5A;

std::uint32_t u32(const std::byte* p) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return v;
}

// Fills the data of every read record, walking the block as FSUIPC does.
void serve_reads(std::byte* block, const auto& fill) {
  std::size_t at = 0;
  while (at + 16 <= kFsuipcBlockBytes) {
    const std::uint32_t id = u32(block + at);
    if (id != 1 && id != 2) return;
    const std::uint32_t offset = u32(block + at + 4), size = u32(block + at + 8);
    at += id == 1 ? 16 : 12;
    if (size > kFsuipcBlockBytes - at) return;
    if (id == 1) fill(offset, block + at, size);
    at += size;
  }
}

class RogueTransport : public FsuipcTransport {
 public:
  // The server's part of one exchange: the block as it arrives, changed in place; the answer.
  std::uintptr_t (*server)(std::byte* block) = nullptr;
  int sends = 0;

  Handle find_window(const std::string& name) override { return name == "UIPCMAIN" ? 1 : 0; }
  std::uint32_t register_message(const std::string&) override { return 0xC000; }
  std::uint16_t add_atom(const std::string&) override { return 0xC001; }
  void delete_atom(std::uint16_t) override {}
  Mapping create_mapping(const std::string&, std::size_t) override { return {1, false}; }
  // Exactly the block's bytes on the heap: AddressSanitizer sees any access beyond them.
  std::byte* map_view(Handle, std::size_t size) override { return block = new std::byte[size](); }
  void unmap_view(std::byte* view) override {
    delete[] view;
    block = nullptr;
  }
  void close_mapping(Handle) override {}
  Reply send_message(Handle, std::uint32_t, std::uintptr_t, std::uintptr_t, unsigned) override {
    ++sends;
    return {Reply::answered, server(block)};
  }
  void sleep_ms(unsigned) override {}
  std::uint32_t process_id() override { return 1; }

  std::byte* block = nullptr;  // the view, while the link is open
};

// The server of the opening handshake: a FSUIPC that answers the two version reads.
std::uintptr_t handshake_server(std::byte* block) {
  serve_reads(block, [](std::uint32_t offset, std::byte* data, std::uint32_t size) {
    const std::uint32_t value = offset == 0x3304 ? 0x19980005 : offset == 0x3308 ? 0xFADE0008 : 0;
    if (size == 4) std::memcpy(data, &value, 4);
  });
  return 1;
}

// What the current input asks of the server, and what it saw and left.
struct Exchange {
  std::string_view recipe;
  std::vector<std::byte> sent, served;
} exchange;

std::uintptr_t rogue_server(std::byte* block) {
  exchange.sent.assign(block, block + kFsuipcBlockBytes);
  std::string_view recipe = exchange.recipe;
  const char mode = recipe.empty() ? 'h' : recipe.front();
  if (!recipe.empty()) recipe.remove_prefix(1);
  if (mode == 'f') {
    for (std::size_t i = 0; i < kFsuipcBlockBytes; ++i)
      block[i] = recipe.empty() ? std::byte{0} : static_cast<std::byte>(recipe[i % recipe.size()]);
  } else {
    std::size_t position = 0;
    if (mode == 'd') {
      const auto colon = recipe.find(':');
      position = std::strtoul(std::string(recipe.substr(0, colon)).c_str(), nullptr, 16) % kFsuipcBlockBytes;
      recipe = colon == std::string_view::npos ? std::string_view() : recipe.substr(colon + 1);
    }
    const std::string_view bytes = mode == 'd' ? std::string_view("\x11\x22\x33") : recipe;
    std::size_t k = 0;
    serve_reads(block, [&](std::uint32_t, std::byte* data, std::uint32_t size) {
      for (std::uint32_t i = 0; i < size; ++i, ++k)
        data[i] = bytes.empty() ? std::byte{0} : static_cast<std::byte>(bytes[k % bytes.size()]);
    });
    if (mode == 'd' && !recipe.empty())
      std::memcpy(block + position, recipe.data(), std::min(recipe.size(), kFsuipcBlockBytes - position));
  }
  exchange.served.assign(block, block + kFsuipcBlockBytes);
  return mode == 'a' ? 0 : 1;
}

RogueTransport* transport = nullptr;

std::unique_ptr<FsuipcTransport> make_transport() {
  auto owned = std::make_unique<RogueTransport>();
  transport = owned.get();
  return owned;
}

// Opened once, with a server that answers the handshake; every input then uses the rogue one.
FsuipcLink& open_link() {
  static FsuipcLink link(make_transport());
  if (!link.is_open()) {
    IpcCode code;
    transport->server = handshake_server;
    FUZZ_CHECK(link.ipc_abrir(0, code));
    transport->server = rogue_server;
  }
  return link;
}

struct Operation {
  char kind;  // 'r' read into a destination, 'n' read without one, 'w' write
  std::uint32_t offset, size;
  bool accepted = false;
  std::size_t position = 0;             // of its record in the block, when accepted
  std::vector<unsigned char> buffer;    // guard, destination or source, guard
  unsigned char* inside() { return buffer.data() + kGuardBytes; }
};

std::vector<Operation> parse_operations(std::string_view text) {
  std::vector<Operation> ops;
  while (!text.empty() && ops.size() < kMaxOperations) {
    const auto lf = text.find('\n');
    const std::string line(text.substr(0, lf));
    text = lf == std::string_view::npos ? std::string_view() : text.substr(lf + 1);
    if (line.empty() || std::string_view("rnw").find(line[0]) == std::string_view::npos) continue;
    char* end = nullptr;
    const auto offset = static_cast<std::uint32_t>(std::strtoull(line.c_str() + 1, &end, 16));
    const auto size = static_cast<std::uint32_t>(std::strtoull(end, nullptr, 16));
    ops.push_back({line[0], offset, size, false, 0, {}});
  }
  return ops;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto parts = tolvex::fuzz::split_parts(tolvex::fuzz::as_text(data, size));
  FsuipcLink& link = open_link();
  exchange = {parts.size() > 1 ? parts[1] : std::string_view(), {}, {}};
  IpcCode code;

  // Queue; the expected block is built beside it from the record layout.
  std::vector<Operation> ops = parse_operations(parts[0]);
  std::vector<std::byte> expected;
  for (std::size_t k = 0; k < ops.size(); ++k) {
    Operation& op = ops[k];
    const std::size_t header = op.kind == 'w' ? 12 : 16;
    op.accepted = std::uint64_t{expected.size()} + header + op.size + 4 <= kFsuipcMaxQueueBytes;
    // A size that cannot fit gets a small buffer: using it beyond its end is a finding too.
    const std::size_t room = op.accepted ? op.size : 4;
    op.buffer.assign(room + 2 * kGuardBytes, kGuard);
    std::fill_n(op.inside(), room, op.kind == 'w' ? static_cast<unsigned char>(k * 7 + 1) : kUnwritten);
    std::vector<std::byte> block_before;
    if (!op.accepted) block_before.assign(transport->block, transport->block + kFsuipcBlockBytes);
    const bool ok = op.kind == 'w' ? link.ipc_escribir(op.offset, op.size, op.inside(), code)
                                   : link.ipc_leer(op.offset, op.size, op.kind == 'r' ? op.inside() : nullptr, code);
    FUZZ_CHECK(ok == op.accepted);
    FUZZ_CHECK(code == (op.accepted ? IpcCode::ok : IpcCode::too_big));
    if (!op.accepted) {
      FUZZ_CHECK(std::memcmp(block_before.data(), transport->block, kFsuipcBlockBytes) == 0);
      FUZZ_CHECK(link.queued_bytes() == expected.size());
      continue;
    }
    op.position = expected.size();
    const std::uint32_t fields[] = {op.kind == 'w' ? 2u : 1u, op.offset, op.size, 0};
    expected.resize(expected.size() + header + op.size);
    std::memcpy(expected.data() + op.position, fields, header);
    if (op.kind == 'w') std::memcpy(expected.data() + op.position + header, op.inside(), op.size);
    FUZZ_CHECK(link.queued_bytes() == expected.size());
  }

  const int sends_before = transport->sends;
  const bool processed = link.ipc_procesar(code);
  if (expected.empty()) {
    FUZZ_CHECK(!processed && code == IpcCode::nothing_queued && transport->sends == sends_before);
    return 0;
  }
  const bool answered_one = exchange.recipe.empty() || exchange.recipe.front() != 'a';
  FUZZ_CHECK(processed == answered_one);
  FUZZ_CHECK(code == (answered_one ? IpcCode::ok : IpcCode::bad_answer));
  FUZZ_CHECK(!link.ipc_procesar(code) && code == IpcCode::nothing_queued);
  FUZZ_CHECK(transport->sends == sends_before + 1);

  // The block as sent: the records as queued (a read's reference is the link's own), then 0.
  for (const Operation& op : ops) {
    if (op.accepted && op.kind != 'w') std::memcpy(expected.data() + op.position + 12, exchange.sent.data() + op.position + 12, 4);
  }
  expected.resize(expected.size() + 4, std::byte{0});
  FUZZ_CHECK(std::equal(expected.begin(), expected.end(), exchange.sent.begin()));
  // The walk only reads the block.
  FUZZ_CHECK(std::equal(exchange.served.begin(), exchange.served.end(), transport->block));

  // Intact when every header and the end mark are as sent.
  bool intact = true;
  for (const Operation& op : ops)
    if (op.accepted)
      intact = intact && std::memcmp(exchange.sent.data() + op.position, exchange.served.data() + op.position,
                                     op.kind == 'w' ? 12 : 16) == 0;
  intact = intact && u32(exchange.served.data() + expected.size() - 4) == 0;

  for (Operation& op : ops) {
    const std::size_t room = op.buffer.size() - 2 * kGuardBytes;
    for (std::size_t i = 0; i < kGuardBytes; ++i)
      FUZZ_CHECK(op.buffer[i] == kGuard && op.buffer[kGuardBytes + room + i] == kGuard);
    if (op.kind != 'r') continue;
    const unsigned char* got = op.inside();
    const bool untouched = std::all_of(got, got + room, [](unsigned char c) { return c == kUnwritten; });
    if (!op.accepted || op.size == 0 || !answered_one) {
      FUZZ_CHECK(untouched);
      continue;
    }
    if (intact) {
      FUZZ_CHECK(std::memcmp(got, exchange.served.data() + op.position + 16, op.size) == 0);
      continue;
    }
    if (untouched) continue;
    // Written: the data of some read record of exactly this size in the served block.
    bool found = false;
    for (std::size_t p = 0; !found && p + 16 + op.size <= kFsuipcBlockBytes; ++p) {
      const std::byte* at = exchange.served.data() + p;
      found = u32(at) == 1 && u32(at + 8) == op.size && std::memcmp(at + 16, got, op.size) == 0;
    }
    FUZZ_CHECK(found);
  }
  return 0;
}

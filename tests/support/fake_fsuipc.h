#pragma once
// A stand-in for FSUIPC, plain C++: an offset space that serves the request records of a shared
// block, and a transport that plays the system's part in-process (windows, atoms, the block).
// The Wine fake server serves its block with the same FakeFsuipcMemory.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "simlink/fsuipc_client.h"

namespace tolvex::test {

class FakeFsuipcMemory {
 public:
  void set_bytes(std::uint32_t offset, const void* bytes, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(bytes);
    for (std::size_t i = 0; i < size; ++i) bytes_[offset + static_cast<std::uint32_t>(i)] = p[i];
  }
  template <typename T>
  void set(std::uint32_t offset, T value) { set_bytes(offset, &value, sizeof value); }
  template <typename T>
  T get(std::uint32_t offset) const {
    unsigned char raw[sizeof(T)] = {};
    for (std::size_t i = 0; i < sizeof(T); ++i) {
      const auto it = bytes_.find(offset + static_cast<std::uint32_t>(i));
      if (it != bytes_.end()) raw[i] = it->second;
    }
    T value;
    std::memcpy(&value, raw, sizeof value);
    return value;
  }
  // The version words; FSUIPC keeps them whatever is written there (0x330A included).
  void set_versions(std::uint32_t fsuipc_version, std::uint32_t simulator_version) {
    set<std::uint32_t>(0x3304, fsuipc_version);
    set<std::uint32_t>(0x3308, simulator_version);
    read_only_first_ = 0x3304;
    read_only_end_ = 0x330C;
  }
  // Every write served, in order: offset and bytes.
  std::vector<std::pair<std::uint32_t, std::vector<unsigned char>>> writes;

  // Serves the records from `block`: fills reads, applies writes, leaves headers as they are.
  // Returns the offsets of the records seen, reads and writes in order.
  std::vector<std::uint32_t> serve(std::byte* block, std::size_t block_size) {
    std::vector<std::uint32_t> seen;
    std::size_t at = 0;
    while (at + 4 <= block_size) {
      const std::uint32_t id = u32(block + at);
      if (id != 1 && id != 2) break;
      const std::size_t header = id == 1 ? 16 : 12;
      if (at + header > block_size) break;
      const std::uint32_t offset = u32(block + at + 4), size = u32(block + at + 8);
      at += header;
      if (at + size > block_size) break;
      seen.push_back(offset);
      if (id == 2) writes.push_back({offset, {}});
      for (std::uint32_t i = 0; i < size; ++i) {
        const std::uint32_t address = offset + i;
        if (id == 1) {
          block[at + i] = static_cast<std::byte>(bytes_[address]);
          continue;
        }
        writes.back().second.push_back(static_cast<unsigned char>(block[at + i]));
        if (address < read_only_first_ || address >= read_only_end_) bytes_[address] = writes.back().second.back();
      }
      at += size;
    }
    return seen;
  }

 private:
  static std::uint32_t u32(const std::byte* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
  }
  std::map<std::uint32_t, unsigned char> bytes_;
  std::uint32_t read_only_first_ = 0, read_only_end_ = 0;
};

// The system's part, in-process. Each send is answered as `replies` says, then as `reply`.
class FakeFsuipcTransport : public FsuipcTransport {
 public:
  struct State {
    std::set<std::string> windows{"UIPCMAIN"};
    FakeFsuipcMemory memory;
    bool serve = true;          // fill the block when a send is answered
    Reply reply{Reply::answered, 1};
    std::vector<Reply> replies;  // used first, one per send
    bool mapping_exists = false;
    // Seen by the tests.
    std::vector<std::uint32_t> served_offsets;
    std::vector<unsigned> send_timeouts, pauses;
    std::uintptr_t last_wparam = 0;
    std::string atom_name, mapping_name;
    int atoms = 0, mappings = 0, views = 0;
    std::vector<std::byte> block;
  };
  explicit FakeFsuipcTransport(State& state) : s_(state) {}

  Handle find_window(const std::string& name) override { return s_.windows.count(name) ? 100 + name.size() : 0; }
  std::uint32_t register_message(const std::string&) override { return 0xC123; }
  std::uint16_t add_atom(const std::string& name) override {
    s_.atom_name = name;
    ++s_.atoms;
    return 0xC001;
  }
  void delete_atom(std::uint16_t) override { --s_.atoms; }
  Mapping create_mapping(const std::string& name, std::size_t size) override {
    s_.mapping_name = name;
    s_.block.assign(size, std::byte{0xAB});  // a fresh mapping is zeroed; garbage shows missing writes
    ++s_.mappings;
    return {7, s_.mapping_exists};
  }
  std::byte* map_view(Handle, std::size_t) override {
    ++s_.views;
    return s_.block.data();
  }
  void unmap_view(std::byte*) override { --s_.views; }
  void close_mapping(Handle) override { --s_.mappings; }
  Reply send_message(Handle, std::uint32_t, std::uintptr_t wparam, std::uintptr_t, unsigned timeout_ms) override {
    s_.send_timeouts.push_back(timeout_ms);
    s_.last_wparam = wparam;
    Reply r = s_.reply;
    if (!s_.replies.empty()) {
      r = s_.replies.front();
      s_.replies.erase(s_.replies.begin());
    }
    if (r.kind == Reply::answered && s_.serve) {
      const auto seen = s_.memory.serve(s_.block.data(), s_.block.size());
      s_.served_offsets.insert(s_.served_offsets.end(), seen.begin(), seen.end());
    }
    return r;
  }
  void sleep_ms(unsigned ms) override { s_.pauses.push_back(ms); }
  std::uint32_t process_id() override { return 6700; }

 private:
  State& s_;
};

// A link on a fake transport whose simulator answers as a running FSUIPC does.
inline constexpr std::uint32_t kFakeFsuipcVersion = 0x19980005;
inline constexpr std::uint32_t kFakeSimulatorVersion = 0xFADE0008;

}  // namespace tolvex::test

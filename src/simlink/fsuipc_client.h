#pragma once
// The FSUIPC client: requests are queued as records in a shared block, one registered window
// message asks FSUIPC to serve them, and the replies are found in the block when it returns.
// The system calls sit behind FsuipcTransport (Win32 in src/platform; fakes in tests), so the
// protocol itself is plain C++.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tolvex {

// Every operation sets one of these; 0 is success.
enum class IpcCode : int {
  ok = 0,
  already_open = 1,
  no_window = 2,
  no_message = 3,
  no_atom = 4,
  no_block = 5,
  no_view = 6,
  bad_version = 7,
  wrong_simulator = 8,
  not_open = 9,
  nothing_queued = 10,
  timed_out = 11,
  send_failed = 12,
  bad_answer = 13,
  bad_version_fallback_window = 14,
  too_big = 15,
};

// What the link needs from the system. Handles are opaque; 0 means "none".
class FsuipcTransport {
 public:
  using Handle = std::uintptr_t;
  struct Mapping {
    Handle handle = 0;            // 0: creating it failed
    bool already_existed = false; // the name was taken (the handle must still be closed)
  };
  struct Reply {
    enum Kind { answered, timed_out, failed } kind = failed;
    std::uintptr_t answer = 0;  // when answered
  };

  virtual ~FsuipcTransport() = default;
  virtual Handle find_window(const std::string& class_name) = 0;
  virtual std::uint32_t register_message(const std::string& name) = 0;  // 0: failed
  virtual std::uint16_t add_atom(const std::string& name) = 0;          // 0: failed
  virtual void delete_atom(std::uint16_t atom) = 0;
  virtual Mapping create_mapping(const std::string& name, std::size_t size) = 0;
  virtual std::byte* map_view(Handle mapping, std::size_t size) = 0;  // null: failed
  virtual void unmap_view(std::byte* view) = 0;
  virtual void close_mapping(Handle mapping) = 0;
  // Sends `message` and blocks until it is answered or `timeout_ms` has passed.
  virtual Reply send_message(Handle window, std::uint32_t message, std::uintptr_t wparam,
                             std::uintptr_t lparam, unsigned timeout_ms) = 0;
  virtual void sleep_ms(unsigned ms) = 0;
  virtual std::uint32_t process_id() = 0;
};

// The system's transport: Win32 on Windows; elsewhere one that finds no simulator window.
std::unique_ptr<FsuipcTransport> make_system_fsuipc_transport();

inline constexpr std::size_t kFsuipcBlockBytes = 0x8000;
// Records of one exchange, end mark included, never pass this.
inline constexpr std::size_t kFsuipcMaxQueueBytes = 0x7F00;
inline constexpr unsigned kFsuipcSendTimeoutMs = 2000;
inline constexpr unsigned kFsuipcRetryPauseMs = 100;
inline constexpr int kFsuipcSendAttempts = 10;

// "FsasmLib:IPC:<pid in upper-case hex>:1": the shared block's name, also the atom's text.
std::string fsuipc_block_name(std::uint32_t process_id);

class FsuipcLink {
 public:
  // Without a transport the link cannot open (code 2).
  explicit FsuipcLink(std::unique_ptr<FsuipcTransport> transport = nullptr);
  ~FsuipcLink();
  FsuipcLink(const FsuipcLink&) = delete;
  FsuipcLink& operator=(const FsuipcLink&) = delete;

  // Replaces the transport; an open link is closed first.
  void use_transport(std::unique_ptr<FsuipcTransport> transport);

  // requested_simulator: the simulator's 16-bit code, 0 for any.
  bool ipc_abrir(std::uint16_t requested_simulator, IpcCode& code);
  // Queues a read of `size` bytes at `offset`; `destination` receives them when processed
  // (null: the bytes are read but not kept). It must stay valid until ipc_procesar returns.
  bool ipc_leer(std::uint32_t offset, std::uint32_t size, void* destination, IpcCode& code);
  bool ipc_escribir(std::uint32_t offset, std::uint32_t size, const void* source, IpcCode& code);
  // Sends the queue and copies the replies; the queue is consumed whatever the outcome.
  bool ipc_procesar(IpcCode& code);
  void ipc_cerrar();

  // Drops whatever is queued without sending it.
  void discard_queue();

  bool is_open() const { return block_ != nullptr; }
  std::size_t queued_bytes() const { return static_cast<std::size_t>(cursor_ - block_); }
  std::uint32_t fsuipc_version() const { return fsuipc_version_; }
  std::uint32_t simulator_version() const { return simulator_version_; }

 private:
  struct PendingRead {
    void* destination;
    std::uint32_t size;
  };
  bool fail(IpcCode failure, IpcCode& code);
  bool fits(std::size_t header_bytes, std::uint32_t size) const;
  bool handshake(IpcCode& code);
  bool send_request(IpcCode& code);
  void copy_replies();

  std::unique_ptr<FsuipcTransport> transport_;
  FsuipcTransport::Handle window_ = 0;
  std::uint32_t message_ = 0;
  std::uint16_t atom_ = 0;
  FsuipcTransport::Handle mapping_ = 0;
  std::byte* block_ = nullptr;
  std::byte* cursor_ = nullptr;
  std::uint32_t fsuipc_version_ = 0;
  std::uint32_t simulator_version_ = 0;
  // The destination field of a queued read holds its index here plus one (0: no destination),
  // so the 4-byte field never has to carry an address.
  std::vector<PendingRead> pending_;
};

// The one link of the process. Its transport is the system's until a test replaces it.
FsuipcLink& fsuipc_link();

// The operations on the process's link.
bool ipc_abrir(std::uint16_t requested_simulator, IpcCode& code);
bool ipc_leer(std::uint32_t offset, std::uint32_t size, void* destination, IpcCode& code);
bool ipc_escribir(std::uint32_t offset, std::uint32_t size, const void* source, IpcCode& code);
bool ipc_procesar(IpcCode& code);
void ipc_cerrar();

}  // namespace tolvex

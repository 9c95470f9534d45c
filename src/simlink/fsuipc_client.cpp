#include "simlink/fsuipc_client.h"

#include <bit>
#include <cstdio>
#include <cstring>

namespace tolvex {

namespace {

static_assert(std::endian::native == std::endian::little, "the block's integers are little-endian");

constexpr std::uint32_t kReadRecord = 1;
constexpr std::uint32_t kWriteRecord = 2;
constexpr std::uint32_t kEndMark = 0;
constexpr std::size_t kReadHeaderBytes = 16;
constexpr std::size_t kWriteHeaderBytes = 12;

constexpr std::uint32_t kFsuipcVersionOffset = 0x3304;
constexpr std::uint32_t kSimulatorVersionOffset = 0x3308;
constexpr std::uint32_t kHandshakeWriteOffset = 0x330A;
constexpr std::uint32_t kLowestFsuipcVersion = 0x19980005;
constexpr std::uint32_t kSimulatorVersionMark = 0xFADE;
constexpr int kHandshakePasses = 5;

void put_u32(std::byte* at, std::uint32_t value) { std::memcpy(at, &value, 4); }
std::uint32_t get_u32(const std::byte* at) {
  std::uint32_t value;
  std::memcpy(&value, at, 4);
  return value;
}

}  // namespace

std::string fsuipc_block_name(std::uint32_t process_id) {
  char name[64];
  std::snprintf(name, sizeof name, "%s:%X:%X", "FsasmLib:IPC", static_cast<unsigned>(process_id), 1u);
  return name;
}

FsuipcLink::FsuipcLink(std::unique_ptr<FsuipcTransport> transport) : transport_(std::move(transport)) {}

FsuipcLink::~FsuipcLink() { ipc_cerrar(); }

void FsuipcLink::use_transport(std::unique_ptr<FsuipcTransport> transport) {
  ipc_cerrar();
  transport_ = std::move(transport);
}

bool FsuipcLink::fail(IpcCode failure, IpcCode& code) {
  code = failure;
  return false;
}

bool FsuipcLink::ipc_abrir(std::uint16_t requested_simulator, IpcCode& code) {
  if (is_open()) return fail(IpcCode::already_open, code);
  fsuipc_version_ = 0;
  simulator_version_ = 0;
  if (!transport_) return fail(IpcCode::no_window, code);

  bool fallback_window = false;
  window_ = transport_->find_window("UIPCMAIN");
  if (!window_) {
    window_ = transport_->find_window("FS98MAIN");
    fallback_window = true;
  }
  if (!window_) return fail(IpcCode::no_window, code);

  message_ = transport_->register_message("FsasmLib:IPC");
  if (!message_) {
    window_ = 0;
    return fail(IpcCode::no_message, code);
  }
  const std::string name = fsuipc_block_name(transport_->process_id());
  atom_ = transport_->add_atom(name);
  if (!atom_) {
    ipc_cerrar();
    return fail(IpcCode::no_atom, code);
  }
  const FsuipcTransport::Mapping mapping = transport_->create_mapping(name, kFsuipcBlockBytes);
  mapping_ = mapping.handle;
  if (!mapping_ || mapping.already_existed) {
    ipc_cerrar();
    return fail(IpcCode::no_block, code);
  }
  block_ = transport_->map_view(mapping_, kFsuipcBlockBytes);
  if (!block_) {
    ipc_cerrar();
    return fail(IpcCode::no_view, code);
  }
  cursor_ = block_;

  if (!handshake(code)) {
    ipc_cerrar();
    return false;
  }
  if (fsuipc_version_ < kLowestFsuipcVersion || (simulator_version_ >> 16) != kSimulatorVersionMark) {
    ipc_cerrar();
    return fail(fallback_window ? IpcCode::bad_version_fallback_window : IpcCode::bad_version, code);
  }
  simulator_version_ &= 0xFFFF;
  if (requested_simulator != 0 && requested_simulator != simulator_version_) {
    ipc_cerrar();
    return fail(IpcCode::wrong_simulator, code);
  }
  code = IpcCode::ok;
  return true;
}

bool FsuipcLink::handshake(IpcCode& code) {
  for (int pass = 0; pass < kHandshakePasses && (fsuipc_version_ == 0 || simulator_version_ == 0); ++pass) {
    if (!ipc_leer(kFsuipcVersionOffset, 4, &fsuipc_version_, code)) return false;
    if (!ipc_leer(kSimulatorVersionOffset, 4, &simulator_version_, code)) return false;
    if (pass == 0) {
      const std::uint16_t zero = 0;
      if (!ipc_escribir(kHandshakeWriteOffset, 2, &zero, code)) return false;
    }
    if (!ipc_procesar(code)) return false;
    transport_->sleep_ms(100);
  }
  return true;
}

bool FsuipcLink::fits(std::size_t header_bytes, std::uint32_t size) const {
  // In 64 bits, so a huge size cannot wrap around.
  const std::uint64_t total = std::uint64_t{queued_bytes()} + header_bytes + size + 4;
  return total <= kFsuipcMaxQueueBytes;
}

bool FsuipcLink::ipc_leer(std::uint32_t offset, std::uint32_t size, void* destination, IpcCode& code) {
  if (!is_open()) return fail(IpcCode::not_open, code);
  if (!fits(kReadHeaderBytes, size)) return fail(IpcCode::too_big, code);
  std::uint32_t reference = 0;
  if (destination) {
    pending_.push_back({destination, size});
    reference = static_cast<std::uint32_t>(pending_.size());
  }
  put_u32(cursor_, kReadRecord);
  put_u32(cursor_ + 4, offset);
  put_u32(cursor_ + 8, size);
  put_u32(cursor_ + 12, reference);
  cursor_ += kReadHeaderBytes;
  std::memset(cursor_, 0, size);
  cursor_ += size;
  code = IpcCode::ok;
  return true;
}

bool FsuipcLink::ipc_escribir(std::uint32_t offset, std::uint32_t size, const void* source, IpcCode& code) {
  if (!is_open()) return fail(IpcCode::not_open, code);
  if (!fits(kWriteHeaderBytes, size)) return fail(IpcCode::too_big, code);
  put_u32(cursor_, kWriteRecord);
  put_u32(cursor_ + 4, offset);
  put_u32(cursor_ + 8, size);
  cursor_ += kWriteHeaderBytes;
  if (size) std::memcpy(cursor_, source, size);
  cursor_ += size;
  code = IpcCode::ok;
  return true;
}

bool FsuipcLink::ipc_procesar(IpcCode& code) {
  if (!is_open()) return fail(IpcCode::not_open, code);
  if (cursor_ == block_) return fail(IpcCode::nothing_queued, code);
  put_u32(cursor_, kEndMark);
  cursor_ = block_;
  const bool sent = send_request(code);
  if (sent) copy_replies();
  pending_.clear();
  return sent;
}

bool FsuipcLink::send_request(IpcCode& code) {
  FsuipcTransport::Reply reply;
  for (int attempt = 0; attempt < kFsuipcSendAttempts; ++attempt) {
    reply = transport_->send_message(window_, message_, atom_, 0, kFsuipcSendTimeoutMs);
    if (reply.kind == FsuipcTransport::Reply::answered) break;
    transport_->sleep_ms(kFsuipcRetryPauseMs);
  }
  if (reply.kind == FsuipcTransport::Reply::timed_out) return fail(IpcCode::timed_out, code);
  if (reply.kind == FsuipcTransport::Reply::failed) return fail(IpcCode::send_failed, code);
  if (reply.answer != 1) return fail(IpcCode::bad_answer, code);
  code = IpcCode::ok;
  return true;
}

void FsuipcLink::copy_replies() {
  // The block was in the server's hands: every record is checked against the block's end and
  // against what was queued, so a damaged reply cannot make us read or write out of bounds.
  const std::byte* at = block_;
  const std::byte* const end = block_ + kFsuipcMaxQueueBytes;
  while (end - at >= 4) {
    const std::uint32_t id = get_u32(at);
    if (id == kReadRecord) {
      if (end - at < static_cast<std::ptrdiff_t>(kReadHeaderBytes)) return;
      const std::uint32_t size = get_u32(at + 8);
      const std::uint32_t reference = get_u32(at + 12);
      at += kReadHeaderBytes;
      if (static_cast<std::uint64_t>(end - at) < size) return;
      if (size != 0 && reference != 0) {
        if (reference > pending_.size() || pending_[reference - 1].size != size) return;
        std::memcpy(pending_[reference - 1].destination, at, size);
      }
      at += size;
    } else if (id == kWriteRecord) {
      if (end - at < static_cast<std::ptrdiff_t>(kWriteHeaderBytes)) return;
      const std::uint32_t size = get_u32(at + 8);
      at += kWriteHeaderBytes;
      if (static_cast<std::uint64_t>(end - at) < size) return;
      at += size;
    } else {
      return;  // the end mark, or a record we do not know
    }
  }
}

void FsuipcLink::discard_queue() {
  cursor_ = block_;
  pending_.clear();
}

void FsuipcLink::ipc_cerrar() {
  window_ = 0;
  message_ = 0;
  cursor_ = nullptr;
  pending_.clear();
  if (atom_) {
    transport_->delete_atom(atom_);
    atom_ = 0;
  }
  if (block_) {
    transport_->unmap_view(block_);
    block_ = nullptr;
  }
  if (mapping_) {
    transport_->close_mapping(mapping_);
    mapping_ = 0;
  }
}

FsuipcLink& fsuipc_link() {
  static FsuipcLink link(make_system_fsuipc_transport());
  return link;
}

bool ipc_abrir(std::uint16_t requested_simulator, IpcCode& code) { return fsuipc_link().ipc_abrir(requested_simulator, code); }
bool ipc_leer(std::uint32_t offset, std::uint32_t size, void* destination, IpcCode& code) {
  return fsuipc_link().ipc_leer(offset, size, destination, code);
}
bool ipc_escribir(std::uint32_t offset, std::uint32_t size, const void* source, IpcCode& code) {
  return fsuipc_link().ipc_escribir(offset, size, source, code);
}
bool ipc_procesar(IpcCode& code) { return fsuipc_link().ipc_procesar(code); }
void ipc_cerrar() { fsuipc_link().ipc_cerrar(); }

}  // namespace tolvex

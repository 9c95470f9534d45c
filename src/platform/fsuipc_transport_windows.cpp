// The FSUIPC link's system calls on Windows: window lookup, registered message, global atom,
// paging-file backed shared memory and a blocking message with a time-out.
#include <windows.h>

#include "simlink/fsuipc_client.h"

namespace tolvex {

namespace {

class Win32FsuipcTransport final : public FsuipcTransport {
 public:
  Handle find_window(const std::string& class_name) override {
    return reinterpret_cast<Handle>(FindWindowExA(nullptr, nullptr, class_name.c_str(), nullptr));
  }
  std::uint32_t register_message(const std::string& name) override { return RegisterWindowMessageA(name.c_str()); }
  std::uint16_t add_atom(const std::string& name) override { return GlobalAddAtomA(name.c_str()); }
  void delete_atom(std::uint16_t atom) override { GlobalDeleteAtom(atom); }
  Mapping create_mapping(const std::string& name, std::size_t size) override {
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, static_cast<DWORD>(size), name.c_str());
    return {reinterpret_cast<Handle>(mapping), mapping != nullptr && GetLastError() == ERROR_ALREADY_EXISTS};
  }
  std::byte* map_view(Handle mapping, std::size_t size) override {
    return static_cast<std::byte*>(MapViewOfFile(reinterpret_cast<HANDLE>(mapping), FILE_MAP_WRITE, 0, 0, size));
  }
  void unmap_view(std::byte* view) override { UnmapViewOfFile(view); }
  void close_mapping(Handle mapping) override { CloseHandle(reinterpret_cast<HANDLE>(mapping)); }
  Reply send_message(Handle window, std::uint32_t message, std::uintptr_t wparam, std::uintptr_t lparam,
                     unsigned timeout_ms) override {
    DWORD_PTR answer = 0;
    SetLastError(0);
    if (SendMessageTimeoutA(reinterpret_cast<HWND>(window), message, wparam, lparam, SMTO_BLOCK, timeout_ms, &answer))
      return {Reply::answered, answer};
    // A time-out is not a system error, though newer systems report it as ERROR_TIMEOUT.
    const DWORD error = GetLastError();
    return {error == 0 || error == ERROR_TIMEOUT ? Reply::timed_out : Reply::failed, 0};
  }
  void sleep_ms(unsigned ms) override { Sleep(ms); }
  std::uint32_t process_id() override { return GetCurrentProcessId(); }
};

}  // namespace

std::unique_ptr<FsuipcTransport> make_system_fsuipc_transport() { return std::make_unique<Win32FsuipcTransport>(); }

}  // namespace tolvex

// A stand-in for FSUIPC in its own process: a hidden top-level window of class "FS98MAIN" that
// answers the registered message "FsasmLib:IPC" by serving the block the atom names.
//
//   fake_fsuipc_server [--stall-after N --stall-ms MS]   serve (after N requests, stall each one)
//   fake_fsuipc_server --wait                             until the server's window exists (20 s)
//   fake_fsuipc_server --stop                             end the running server
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "support/fake_fsuipc.h"
#include "windows/fake_fsuipc_values.h"

namespace {

using tolvex::test::FakeFsuipcMemory;

UINT request_message = 0;
FakeFsuipcMemory memory;
long stall_after = -1, stall_ms = 0, requests = 0;

LRESULT serve(WPARAM atom) {
  char name[256];
  if (!GlobalGetAtomNameA(static_cast<ATOM>(atom), name, sizeof name)) return 0;
  HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
  if (!mapping) return 0;
  void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0);
  LRESULT answer = 0;
  if (view) {
    memory.serve(static_cast<std::byte*>(view), tolvex::kFsuipcMaxQueueBytes);
    UnmapViewOfFile(view);
    answer = 1;
  }
  CloseHandle(mapping);
  return answer;
}

LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == request_message && request_message != 0) {
    if (stall_after >= 0 && ++requests > stall_after) Sleep(static_cast<DWORD>(stall_ms));
    return serve(wparam);
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

HWND find_server() { return FindWindowExA(nullptr, nullptr, "FS98MAIN", nullptr); }

int wait_for_server() {
  for (int i = 0; i < 200; ++i, Sleep(100))
    if (find_server()) return 0;
  std::fprintf(stderr, "no FS98MAIN window after 20 s\n");
  return 1;
}

int stop_server() {
  HWND window = find_server();
  if (!window) return 0;
  DWORD process_id = 0;
  GetWindowThreadProcessId(window, &process_id);
  // Not a close message: a stalled server would answer it only after its queue of late requests.
  HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, process_id);
  if (!process) return 1;
  TerminateProcess(process, 0);
  const bool ended = WaitForSingleObject(process, 10000) == WAIT_OBJECT_0;
  CloseHandle(process);
  return ended ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--wait") return wait_for_server();
    if (arg == "--stop") return stop_server();
    if (arg == "--stall-after" && i + 1 < argc) stall_after = std::atol(argv[++i]);
    if (arg == "--stall-ms" && i + 1 < argc) stall_ms = std::atol(argv[++i]);
  }
  tolvex::test::fill_fake_fsuipc(memory);
  request_message = RegisterWindowMessageA("FsasmLib:IPC");
  WNDCLASSA window_class{};
  window_class.lpfnWndProc = window_procedure;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = "FS98MAIN";
  if (!request_message || !RegisterClassA(&window_class)) return 1;
  // Top-level (FindWindow does not see message-only windows) and never shown.
  HWND window = CreateWindowExA(0, "FS98MAIN", "fake FSUIPC", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                window_class.hInstance, nullptr);
  if (!window) return 1;
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}

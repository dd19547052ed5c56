// The second process of the cross-process window tests, on the layer:
//   window_child find <class>      finds the window, restores it and brings it to the
//                                  foreground; prints the handle and both results
//   window_child register <name>   prints the id of a registered message
//   window_child metrics -         prints the screen's width and height
//   window_child create <class>    creates a window of that class, prints its handle
//                                  and ends at once, as a crash would end it; prints
//                                  "error <code>" when the class or window cannot be made
//   window_child hang <class>      creates a window of that class, prints its handle
//                                  and then never takes a message, as a hung program
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "win32.h"

namespace {

WString widen(const char* text) { return WString(text, text + std::strlen(text)); }

LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) { return DefWindowProcW(w, m, wp, lp); }

int find(const WString& class_name) {
  HWND window = FindWindowW(class_name.c_str(), nullptr);
  if (window == nullptr) return 3;
  const BOOL was_visible = ShowWindow(window, SW_RESTORE);
  const BOOL foreground = SetForegroundWindow(window);
  std::printf("%lx %d %d\n", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(window)), was_visible, foreground);
  return 0;
}

HWND create_window(const WString& class_name) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = class_name.c_str();
  HWND window = RegisterClassExW(&wc) == 0 ? nullptr
                                           : CreateWindowExW(0, class_name.c_str(), nullptr, WS_POPUP, 0, 0, 10, 10,
                                                             nullptr, nullptr, wc.hInstance, nullptr);
  if (window == nullptr) {
    std::printf("error %u\n", static_cast<unsigned>(GetLastError()));
  } else {
    std::printf("%lx\n", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(window)));
  }
  std::fflush(stdout);
  return window;
}

int create(const WString& class_name) {
  if (create_window(class_name) == nullptr) return 4;
  std::_Exit(0);  // as a process that crashes: nothing of the layer runs at its end
}

// Until the test ends it; bounded, so that a test that fails leaves nothing behind.
int hang(const WString& class_name) {
  if (create_window(class_name) == nullptr) return 4;
  std::this_thread::sleep_for(std::chrono::seconds(30));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const std::string mode = argv[1];
  const WString argument = widen(argv[2]);
  if (mode == "find") return find(argument);
  if (mode == "create") return create(argument);
  if (mode == "hang") return hang(argument);
  if (mode == "metrics") {
    std::printf("%d %d\n", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    return 0;
  }
  if (mode == "register") {
    std::printf("%u\n", RegisterWindowMessageW(argument.c_str()));
    return 0;
  }
  return 2;
}

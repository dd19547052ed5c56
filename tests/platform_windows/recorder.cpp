// The recording window procedure and the test process's machine.
#include "recorder.h"

#include <fstream>

#include "process_machine.h"

namespace window_test {
namespace {

const ombrix_test::ProcessMachine machine("windows", [](const std::string& root) {
  return "[system]\ntrace = " + root + "/trace.log\n[screen]\nwidth = 1024\nheight = 768\n";
});

Reaction& reaction() {
  static Reaction instance;
  return instance;
}

}  // namespace

std::vector<Received>& received() {
  static std::vector<Received> instance;
  return instance;
}

std::vector<UINT> messages_of(HWND window) {
  std::vector<UINT> ids;
  for (const auto& r : received()) {
    if (window == nullptr || r.window == window) ids.push_back(r.message);
  }
  return ids;
}

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  received().push_back({window, message, wParam, lParam});
  LRESULT result = 0;
  if (reaction() && reaction()(window, message, wParam, lParam, result)) return result;
  return DefWindowProcW(window, message, wParam, lParam);
}

void set_reaction(Reaction r) { reaction() = std::move(r); }

LPCWSTR recording_class(UINT style) {
  static const WString plain = TEXT("window_test.recording");
  static const WString global = TEXT("window_test.recording.global");
  const WString& name = style & CS_GLOBALCLASS ? global : plain;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = RecordingProc;
  wc.hInstance = program();
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = name.c_str();
  RegisterClassExW(&wc);  // the second time: already there
  return name.c_str();
}

HINSTANCE program() { return GetModuleHandleW(nullptr); }

std::string machine_root() { return machine.root; }

std::vector<std::string> trace_lines() {
  std::ifstream in(machine.root + "/trace.log");
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

void pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace window_test

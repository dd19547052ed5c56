#include "player_fixture.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "operand.h"
#include "sandbox.h"

namespace {

struct AppFunctionCall {
  DWORD unused;
  const WCHAR* requestText;
  BSTR reply;
};

WNDPROC player_procedure = nullptr;

std::string argument_text(const ombrix::any_regular_t& value) {
  try {
    return value.cast<ombrix::string_t>().to_std_string();
  } catch (const std::bad_cast&) {
  }
  try {
    return wyl::format_number(value.cast<double>());
  } catch (const std::bad_cast&) {
  }
  return value.cast<bool>() ? "true" : "false";
}

void answer(AppFunctionCall& call) {
  const std::string text = [&] {
    WString wide(call.requestText);
    std::string utf8(wide.size() * 3 + 1, '\0');
    utf8.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()),
                                                             &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr)));
    return utf8;
  }();
  canvas::request_t request = canvas::read_request(text.data(), text.size());
  received_request received{request.name.c_str(), {}};
  for (const ombrix::any_regular_t& a : request.arguments) received.arguments.push_back(argument_text(a));
  canvas::DestroyRequest(request);
  received_requests().push_back(received);
  const auto reply = host_replies().find(received.name);
  if (reply != host_replies().end()) {
    WString wide(reply->second.begin(), reply->second.end());  // ASCII replies
    call.reply = SysAllocString(wide.c_str());
  }
}

LRESULT CALLBACK host_subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static const UINT app_function = RegisterWindowMessageW(TEXT("com.ombrix.wyl.brisk-player.app-function"));
  if (message != app_function) return CallWindowProcW(player_procedure, window, message, wParam, lParam);
  answer(*reinterpret_cast<AppFunctionCall*>(lParam));
  return 0;
}

}  // namespace

std::vector<received_request>& received_requests() {
  static std::vector<received_request> requests;
  return requests;
}

std::map<std::string, std::string>& host_replies() {
  static std::map<std::string, std::string> replies;
  return replies;
}

// Registered once per process, like the framework's own class.
static const WCHAR* frame_class() {
  static const WCHAR name[] = TEXT("framework_test_frame");
  static const ATOM atom = [] {
    WNDCLASSEXW c = {};
    c.cbSize = sizeof c;
    c.lpfnWndProc = DefWindowProcW;
    c.hInstance = GetModuleHandleW(nullptr);
    c.lpszClassName = name;
    return RegisterClassExW(&c);
  }();
  return atom != 0 ? name : nullptr;
}

void PlayerTest::SetUp() {
  CanvasBoundary::SetUp();
  setenv("WYL_TRANSCRIPT", (folder_ + "/transcript.txt").c_str(), 1);
  unsetenv("WYL_AUTOMATION");
  unsetenv("WYL_FAIL");
  received_requests().clear();
  host_replies().clear();
  frame_ = CreateWindowExW(0, frame_class(), TEXT("frame"),
                           WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(frame_, nullptr);
}

void PlayerTest::TearDown() {
  DestroyWindow(frame_);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  unsetenv("WYL_FAIL");
  unsetenv("WYL_AUTOMATION");
  CanvasBoundary::TearDown();
}

HWND PlayerTest::create_player() {
  const HWND player = CreateWindowExW(0, TEXT("WYL.BriskPlayer"), nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 300, 200,
                                      frame_, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (player == nullptr) return nullptr;
  player_procedure = reinterpret_cast<WNDPROC>(
      SetWindowLongW(player, GWL_WNDPROC, static_cast<LONG>(reinterpret_cast<LONG_PTR>(host_subclass))));
  return player;
}

WString PlayerTest::write_test_file(const std::string& name, const std::string& text) const {
  const std::string path = folder_ + "/" + name;
  ombrix_test::write_file(path, text);
  return WString(path.begin(), path.end());
}

bool PlayerTest::pump_until(const std::function<bool()>& condition, int milliseconds) {
  const DWORD start = GetTickCount();
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (condition()) return true;
    Sleep(5);
  } while (GetTickCount() - start < static_cast<DWORD>(milliseconds));
  return false;
}

std::vector<std::string> PlayerTest::transcript(bool with_messages) const {
  std::vector<std::string> lines;
  std::istringstream in(ombrix_test::file_exists(folder_ + "/transcript.txt")
                            ? ombrix_test::read_file(folder_ + "/transcript.txt")
                            : std::string());
  std::string line;
  while (std::getline(in, line)) {
    if (with_messages || line.rfind("message ", 0) != 0) lines.push_back(line);
  }
  return lines;
}

bool PlayerTest::transcript_has(const std::string& line) const {
  for (const std::string& each : transcript(true)) {
    if (each == line) return true;
  }
  return false;
}

// A small host of a player, for the automation test: a frame with a player
// child, a subclass that answers the movie's requests through the canvas, the
// wheel and the frame's close turned into calls into the movie.
// Usage: player_host <movie path>; exit code 0 after the frame is destroyed,
// 2 when the framework does not start, 3 when the player or the movie fails.
#include <string>

#include "request.h"
#include "win32.h"
#include "wyl/wyl.h"
#include "wyl_canvas/brisk_external_interface.h"

namespace {

namespace canvas = ombrix::wyl_canvas::brisk_external_interface;
using ombrix::any_regular_t;
using ombrix::string_t;

struct AppFunctionCall {
  DWORD unused;
  const WCHAR* requestText;
  BSTR reply;
};

const UINT kInvokeLater = WM_APP + 1;
HWND player;
WNDPROC player_procedure;

BSTR reply_text(const std::string& utf8) {
  WString wide(utf8.size(), WCHAR());
  const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0],
                                        static_cast<int>(wide.size()));
  return SysAllocStringLen(wide.data(), static_cast<UINT>(units));
}

void invoke(const char* name, const any_regular_t* argument) {
  canvas::request_t* request = canvas::ConstructRequest(new canvas::request_t);
  request->name = ombrix::make_literal_name(name);
  if (argument != nullptr) request->arguments.push_back(*argument);
  const any_regular_t result = canvas::brisk_player_invoke_request(player, *request);
  canvas::DeleteRequest(request);
}

// "hello": a fixed reply and a later call of "later"; "echo": its first operand
// as a text reply; anything else: no reply.
void answer(AppFunctionCall& call) {
  const WString text(call.requestText);
  std::string utf8(text.size() * 3 + 1, '\0');
  utf8.resize(static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                                           &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr)));
  canvas::request_t request = canvas::read_request(utf8.data(), utf8.size());
  const std::string name = request.name.c_str();
  if (name == "hello") {
    call.reply = reply_text("<string>world</string>");
    PostMessageW(player, kInvokeLater, 0, 0);
  } else if (name == "echo") {
    call.reply = reply_text(canvas::write_response(request.arguments[1].cast<string_t>()).to_std_string());
  }
  canvas::DestroyRequest(request);
}

LRESULT CALLBACK player_subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  static const UINT app_function = RegisterWindowMessageW(TEXT("com.ombrix.wyl.brisk-player.app-function"));
  try {
    if (message == app_function) {
      answer(*reinterpret_cast<AppFunctionCall*>(lParam));
      return 0;
    }
    if (message == kInvokeLater) {
      invoke("later", nullptr);
      return 0;
    }
    if (message == WM_MOUSEWHEEL) {
      const any_regular_t down(GET_WHEEL_DELTA_WPARAM(wParam) < 0);
      invoke("scroll", &down);
    }
  } catch (...) {
    return 0;
  }
  return CallWindowProcW(player_procedure, window, message, wParam, lParam);
}

LRESULT CALLBACK frame_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE:
      try {
        invoke("quit", nullptr);
      } catch (...) {
      }
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      WYLTerminate();
      PostQuitMessage(0);
      return 0;
    case WM_SETFOCUS: SetFocus(player); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
  }
}

HWND create_frame(HINSTANCE instance) {
  WNDCLASSEXW c = {};
  c.cbSize = sizeof c;
  c.lpfnWndProc = frame_procedure;
  c.hInstance = instance;
  c.lpszClassName = TEXT("player_host_frame");
  RegisterClassExW(&c);
  return CreateWindowExW(0, c.lpszClassName, TEXT("player host"), WS_POPUP, 100, 100, 400, 300, nullptr, nullptr,
                         instance, nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  const WString movie = count == 2 ? arguments[1] : TEXT("");
  LocalFree(arguments);
  int start_params[2] = {1, 0};
  if (movie.empty() || WYLInitialize(start_params) != 0) return 2;
  const HWND frame = create_frame(instance);
  player = CreateWindowExW(0, TEXT("WYL.BriskPlayer"), nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 400, 300, frame,
                           nullptr, instance, nullptr);
  if (frame == nullptr || player == nullptr || !WYLIsBriskPlayer(player)) return 3;
  player_procedure = reinterpret_cast<WNDPROC>(
      SetWindowLongW(player, GWL_WNDPROC, static_cast<LONG>(reinterpret_cast<LONG_PTR>(player_subclass))));
  WYLBriskPlayerChangeAttributes(player, 2, 0);
  if (WYLBriskPlayerLoadMovie(player, movie.c_str(), 1) != 0) return 3;
  ShowWindow(frame, SW_SHOW);
  SetFocus(player);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

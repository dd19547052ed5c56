#include "player.h"

#include <cstddef>
#include <map>
#include <set>
#include <string>

#include "host.h"
#include "message_names.h"
#include "request_text.h"

namespace wyl {

namespace {

// The lParam of the request message: three 32-bit fields, as the host declares it.
struct AppFunctionCall {
  DWORD unused;
  const WCHAR* requestText;
  BSTR reply;
};

static_assert(sizeof(void*) != 4 || sizeof(AppFunctionCall) == 12, "three 32-bit fields");
static_assert(sizeof(void*) != 4 || offsetof(AppFunctionCall, requestText) == 4, "the text second");
static_assert(sizeof(void*) != 4 || offsetof(AppFunctionCall, reply) == 8, "the reply third");

const WCHAR kPlayerClass[] = TEXT("WYL.BriskPlayer");

int state = 0;
std::map<HWND, movie_t> movies;  // players with a loaded movie
std::set<HWND> players;         // players of this process
unsigned next_call = 1;

UINT registered(const WCHAR* name) { return RegisterWindowMessageW(name); }

UINT app_function_message() {
  static const UINT id = registered(TEXT("com.ombrix.wyl.brisk-player.app-function"));
  return id;
}
// The player's own messages: the start of its movie, and of the automation
// script once the movie's load block and what it queued have run.
UINT play_message() {
  static const UINT id = registered(TEXT("com.ombrix.wyl.brisk-player.play"));
  return id;
}
UINT automate_message() {
  static const UINT id = registered(TEXT("com.ombrix.wyl.brisk-player.automate"));
  return id;
}

void play(HWND player) {
  const auto found = movies.find(player);
  if (found == movies.end()) return;
  record("play " + found->second.name);
  if (found->second.on_load) {
    const block_t load = *found->second.on_load;  // a send may end the player
    for (const send_t& send : load.sends) send_request(player, send);
  }
  if (!environment_variable(TEXT("WYL_AUTOMATION")).empty()) PostMessageW(player, automate_message(), 0, 0);
}

void record_message(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == app_function_message()) {
    record("message app-function");
    return;
  }
  record("message " + describe_message(message, wParam, lParam));
}

LRESULT CALLBACK player_procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == play_message()) {
    play(window);
    return 0;
  }
  if (message == automate_message()) {
    run_automation(window);
    return 0;
  }
  record_message(message, wParam, lParam);
  if (message == WM_NCCREATE) {
    if (call_fails("create")) return FALSE;
    players.insert(window);
  } else if (message == WM_NCDESTROY) {
    players.erase(window);
    movies.erase(window);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// This library's own module, found by its file name as a DLL finds itself.
HINSTANCE own_instance() { return GetModuleHandleW(TEXT("OmbrixWyl.dll")); }

}  // namespace

int framework_state() { return state; }
void set_framework_state(int new_state) { state = new_state; }

bool register_player_class() {
  WNDCLASSEXW c = {};
  c.cbSize = sizeof c;
  c.style = CS_GLOBALCLASS;
  c.lpfnWndProc = player_procedure;
  c.hInstance = own_instance();
  c.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  c.lpszClassName = kPlayerClass;
  return RegisterClassExW(&c) != 0;
}

bool is_player(HWND window) { return players.count(window) != 0; }

void start_movie(HWND player, movie_t movie) {
  movies[player] = std::move(movie);
  PostMessageW(player, play_message(), 0, 0);
}

const movie_t* movie_of(HWND player) {
  const auto found = movies.find(player);
  return found == movies.end() ? nullptr : &found->second;
}

void send_request(HWND player, const send_t& request) {
  const std::string text = write_request_text({request.name, std::to_string(next_call++), request.operands});
  const WString wide = to_wide(text);
  AppFunctionCall call = {0, wide.c_str(), nullptr};
  SendMessageW(player, app_function_message(), 0, reinterpret_cast<LPARAM>(&call));
  std::string line = "request " + request.name + format_operands(request.operands) + " -> ";
  line += call.reply == nullptr ? "no reply" : one_line(to_utf8(call.reply, static_cast<int>(SysStringLen(call.reply))));
  record(line);
  SysFreeString(call.reply);
}

}  // namespace wyl

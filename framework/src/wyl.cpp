// OmbrixWyl's exported functions, and what the canvas library asks of it.
#include "wyl/wyl.h"

#include <string>

#include "host.h"
#include "player.h"
#include "player_link.h"

namespace {

bool running() { return wyl::framework_state() == WYL_STATE_RUNNING; }

// Why a call that needs the running framework is refused; null while it runs.
const char* not_running() {
  switch (wyl::framework_state()) {
    case WYL_STATE_NOT_STARTED: return "not started";
    case WYL_STATE_TERMINATED: return "terminated";
    default: return nullptr;
  }
}

// Every call is recorded, a refused one with its reason, so that a call made
// twice or not at all shows in the transcript.
template <typename Result>
Result refused(const std::string& call, const char* reason, Result result) {
  wyl::record(call + " -> " + reason);
  return result;
}

// Why the call on the window is refused; null when it may go on.
const char* refusal_for(HWND window) {
  if (const char* reason = not_running()) return reason;
  return wyl::is_player(window) ? nullptr : "no player";
}

std::string load_line(LPCWSTR moviePath) { return "load " + wyl::to_utf8(moviePath, -1); }

WYLResultKind result_kind(const wyl::operand_t& result) {
  switch (result.kind) {
    case wyl::operand_t::number: return WYL_RESULT_NUMBER;
    case wyl::operand_t::boolean: return WYL_RESULT_BOOLEAN;
    case wyl::operand_t::text: break;
  }
  return WYL_RESULT_TEXT;
}

}  // namespace

extern "C" {

int WYLInitialize(void* /*startParams*/) {
  if (running()) return refused("initialize", "running", 1);
  if (wyl::framework_state() == WYL_STATE_TERMINATED) return refused("initialize", "terminated", 1);
  if (wyl::call_fails("initialize")) return 1;
  if (!wyl::register_player_class()) return refused("initialize", "class not registered", 2);
  wyl::set_framework_state(WYL_STATE_RUNNING);
  wyl::record("initialize");
  return 0;
}

int WYLTerminate() {
  if (const char* reason = not_running()) return refused("terminate", reason, 1);
  wyl::set_framework_state(WYL_STATE_TERMINATED);
  wyl::record("terminate");
  return 0;
}

bool WYLIsBriskPlayer(HWND window) {
  if (const char* reason = refusal_for(window)) return refused("isplayer", reason, false);
  if (wyl::call_fails("isplayer")) return false;
  wyl::record("isplayer");
  return true;
}

int WYLBriskPlayerLoadMovie(HWND player, LPCWSTR moviePath, int /*flags*/) {
  if (moviePath == nullptr) return refused("load", "no path", 1);
  if (const char* reason = refusal_for(player)) return refused(load_line(moviePath), reason, 1);
  if (wyl::call_fails("load")) return 1;
  std::string text;
  if (!wyl::read_file(moviePath, text)) return refused(load_line(moviePath), "cannot read", 2);
  try {
    wyl::movie_t movie = wyl::read_movie(text);
    wyl::record(load_line(moviePath));
    wyl::start_movie(player, std::move(movie));
  } catch (const wyl::syntax_error& e) {
    return refused(load_line(moviePath), e.what(), 3);
  }
  return 0;
}

int WYLBriskPlayerChangeAttributes(HWND player, int attribute, int value) {
  const std::string line = "attributes " + std::to_string(attribute) + " " + std::to_string(value);
  if (const char* reason = refusal_for(player)) return refused(line, reason, 1);
  wyl::record(line);
  return 0;
}

int WYLFrameworkState() { return wyl::framework_state(); }

int WYLInvokeFunction(HWND player, const char* name, const char* operands, WYLFunctionResult* result) {
  if (!running()) return WYL_NOT_RUNNING;
  const wyl::movie_t* movie = wyl::movie_of(player);
  if (movie == nullptr) return WYL_NO_MOVIE;
  const auto function = movie->functions.find(name);
  const std::string line = std::string("invoke ") + name + operands;
  if (function == movie->functions.end()) {
    wyl::record(line + " -> no such function");
    return WYL_NO_FUNCTION;
  }
  wyl::record(line);
  const wyl::block_t block = function->second;  // a send may end the player and its movie
  for (const wyl::send_t& send : block.sends) wyl::send_request(player, send);
  static std::string text;  // the result's text lives until the next call
  text = block.result.characters;
  *result = {result_kind(block.result), text.c_str(), block.result.value, block.result.truth ? 1 : 0};
  return WYL_RAN;
}

}  // extern "C"

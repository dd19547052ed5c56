// OmbrixWyl's exported functions, and what the canvas library asks of it.
#include "wyl/wyl.h"

#include <string>

#include "host.h"
#include "player.h"
#include "player_link.h"

namespace {

bool running() { return wyl::framework_state() == WYL_STATE_RUNNING; }

std::string load_line(LPCWSTR moviePath) { return "load " + wyl::to_utf8(moviePath, -1); }

}  // namespace

extern "C" {

int WYLInitialize(void* /*startParams*/) {
  if (wyl::framework_state() != WYL_STATE_NOT_STARTED || wyl::call_fails("initialize")) return 1;
  if (!wyl::register_player_class()) return 2;
  wyl::set_framework_state(WYL_STATE_RUNNING);
  wyl::record("initialize");
  return 0;
}

int WYLTerminate() {
  if (!running()) return 1;
  wyl::set_framework_state(WYL_STATE_TERMINATED);
  wyl::record("terminate");
  return 0;
}

bool WYLIsBriskPlayer(HWND window) {
  return running() && !wyl::call_fails("isplayer") && wyl::is_player(window);
}

int WYLBriskPlayerLoadMovie(HWND player, LPCWSTR moviePath, int /*flags*/) {
  if (!running() || !wyl::is_player(player) || moviePath == nullptr) return 1;
  if (wyl::call_fails("load")) return 1;
  std::string text;
  if (!wyl::read_file(moviePath, text)) {
    wyl::record(load_line(moviePath) + " -> cannot read");
    return 2;
  }
  try {
    wyl::movie_t movie = wyl::read_movie(text);
    wyl::record(load_line(moviePath));
    wyl::start_movie(player, std::move(movie));
  } catch (const wyl::syntax_error& e) {
    wyl::record(load_line(moviePath) + " -> " + e.what());
    return 3;
  }
  return 0;
}

int WYLBriskPlayerChangeAttributes(HWND player, int attribute, int value) {
  if (!running() || !wyl::is_player(player)) return 1;
  wyl::record("attributes " + std::to_string(attribute) + " " + std::to_string(value));
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
  *result = {static_cast<int>(block.result.kind), text.c_str(), block.result.value, block.result.truth ? 1 : 0};
  return WYL_RAN;
}

}  // extern "C"

// The automation script: steps a test has the player perform once its movie
// has started, with user input through SendInput.
#include <string>

#include "host.h"
#include "player.h"
#include "player_link.h"
#include "script.h"

namespace wyl {

namespace {

enum class pumped { idle, quit };

// Handles every message in the thread's queue. The quit message is put back
// for the host's own loop.
pumped pump_messages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return pumped::quit;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return pumped::idle;
}

enum class outcome { done, quit, timed_out };

// Handles messages until the condition holds or the time is up.
template <typename Condition>
outcome pump_until(int milliseconds, Condition condition) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (pump_messages() == pumped::quit) return outcome::quit;
    if (condition()) return outcome::done;
    if (GetTickCount() - start >= static_cast<DWORD>(milliseconds)) return outcome::timed_out;
    Sleep(5);
  }
}

void send_inputs(INPUT* inputs, UINT count) { SendInput(count, inputs, sizeof(INPUT)); }

// The button flags of the step at the client point: with an absolute move to
// the centre of the point's pixel first, unless the cursor is there already
// (a move that goes nowhere would still be a mouse move).
void mouse_at(HWND player, int x, int y, DWORD flags) {
  POINT point = {x, y};
  ClientToScreen(player, &point);
  POINT cursor = {};
  GetCursorPos(&cursor);
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  if (flags == 0 || cursor.x != point.x || cursor.y != point.y) {
    const long long width = GetSystemMetrics(SM_CXSCREEN);
    const long long height = GetSystemMetrics(SM_CYSCREEN);
    input.mi.dx = static_cast<LONG>((2 * point.x + 1) * 65536LL / (2 * width));
    input.mi.dy = static_cast<LONG>((2 * point.y + 1) * 65536LL / (2 * height));
    input.mi.dwFlags |= MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  }
  send_inputs(&input, 1);
}

void wheel(int delta) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.mouseData = static_cast<DWORD>(delta);
  input.mi.dwFlags = MOUSEEVENTF_WHEEL;
  send_inputs(&input, 1);
}

INPUT key_input(WORD virtual_key, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = virtual_key;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return input;
}

void press_key(WORD virtual_key, bool ctrl) {
  INPUT inputs[4];
  UINT count = 0;
  if (ctrl) inputs[count++] = key_input(VK_CONTROL, false);
  inputs[count++] = key_input(virtual_key, false);
  inputs[count++] = key_input(virtual_key, true);
  if (ctrl) inputs[count++] = key_input(VK_CONTROL, true);
  send_inputs(inputs, count);
}

HWND top_level(HWND window) {
  while (HWND parent = GetParent(window)) window = parent;
  return window;
}

// Carries the step out and handles what it caused.
outcome perform(HWND player, const step_t& step) {
  const auto never = [] { return false; };
  switch (step.kind) {
    case step_t::send: send_request(player, step.request); break;
    case step_t::wheel: wheel(step.x); break;
    case step_t::down:
      mouse_at(player, step.x, step.y, step.right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
      break;
    case step_t::up:
      mouse_at(player, step.x, step.y, step.right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
      break;
    case step_t::move: mouse_at(player, step.x, step.y, 0); break;
    case step_t::key: press_key(step.virtual_key, step.ctrl); break;
    case step_t::close: PostMessageW(top_level(player), WM_SYSCOMMAND, SC_CLOSE, 0); break;
    case step_t::wait: {
      const std::string line = step.line_text;
      return pump_until(step.milliseconds, [&line] { return transcript_holds(line); });
    }
    case step_t::pause:
      if (pump_until(step.milliseconds, never) == outcome::quit) return outcome::quit;
      return outcome::done;
  }
  return pump_messages() == pumped::quit ? outcome::quit : outcome::done;
}

bool read_steps(std::vector<step_t>& steps) {
  const WString path = environment_variable(TEXT("WYL_AUTOMATION"));
  std::string text;
  if (!read_file(path, text)) {
    record("automation failed: cannot read " + to_utf8(path));
    return false;
  }
  try {
    steps = read_script(text);
  } catch (const syntax_error& e) {
    record(std::string("automation failed: ") + e.what());
    return false;
  }
  return true;
}

}  // namespace

void run_automation(HWND player) {
  std::vector<step_t> steps;
  if (!read_steps(steps)) return;
  for (const step_t& step : steps) {
    if (framework_state() != WYL_STATE_RUNNING || !is_player(player)) {
      record("automation stopped");
      return;
    }
    record("step " + step.text);
    const outcome result = perform(player, step);
    if (result == outcome::quit) {
      record("automation stopped");
      return;
    }
    if (result == outcome::timed_out) {
      record("automation failed: line " + std::to_string(step.line) + ": timed out");
      return;
    }
  }
  record("automation done");
}

}  // namespace wyl

// Input as the devices give it: SendInput, the keys held down, the cursor, and
// the input queue from which GetMessageW takes mouse and key messages.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <deque>

#include "window_manager.h"
#include "winlayer/kernel.h"

namespace winlayer {
namespace {

using KeyTable = std::array<bool, 256>;

struct InputState {
  KeyTable down{};         // as the keys are now (GetAsyncKeyState)
  KeyTable taken_down{};   // as of the key messages taken so far, which TranslateMessage reads
  POINT cursor{};
  std::deque<MSG> queue;  // routed when the input came, as the system routes it
};

InputState& input() {
  static auto* instance = new InputState;
  return *instance;
}

bool held(const KeyTable& keys, int key) { return key >= 0 && key < 256 && keys[static_cast<std::size_t>(key)]; }

// Either side's key stands for the generic one, and the generic one for the left.
bool key_is_down(int key, const KeyTable& keys = input().down) {
  auto h = [&keys](int k) { return held(keys, k); };
  switch (key) {
    case VK_SHIFT: return h(VK_SHIFT) || h(VK_LSHIFT) || h(VK_RSHIFT);
    case VK_CONTROL: return h(VK_CONTROL) || h(VK_LCONTROL) || h(VK_RCONTROL);
    case VK_MENU: return h(VK_MENU) || h(VK_LMENU) || h(VK_RMENU);
    case VK_LSHIFT: return h(VK_LSHIFT) || h(VK_SHIFT);
    case VK_LCONTROL: return h(VK_LCONTROL) || h(VK_CONTROL);
    case VK_LMENU: return h(VK_LMENU) || h(VK_MENU);
    default: return h(key);
  }
}

WORD mouse_keys() {
  WORD keys = 0;
  if (key_is_down(VK_LBUTTON)) keys |= MK_LBUTTON;
  if (key_is_down(VK_RBUTTON)) keys |= MK_RBUTTON;
  if (key_is_down(VK_MBUTTON)) keys |= MK_MBUTTON;
  if (key_is_down(VK_SHIFT)) keys |= MK_SHIFT;
  if (key_is_down(VK_CONTROL)) keys |= MK_CONTROL;
  return keys;
}

bool contains(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// The deepest shown window under a point given in the coordinates of the
// windows' rectangles (the parent's client area).
Window* window_at(const std::vector<HWND>& windows, POINT point) {
  for (HWND handle : windows) {
    Window* w = find_window(handle);
    if ((w->style & WS_VISIBLE) == 0 || (w->style & WS_MINIMIZE) != 0 || !contains(w->rect, point)) continue;
    const RECT client = client_area(*w);
    if (Window* child = window_at(w->children, POINT{point.x - client.left, point.y - client.top})) return child;
    return w;
  }
  return nullptr;
}

void queue_message(HWND target, UINT message, WPARAM wParam, LPARAM lParam) {
  if (target != nullptr) input().queue.push_back(MSG{target, message, wParam, lParam, GetTickCount(), input().cursor});
}

void queue_mouse(UINT message, WPARAM extra_high = 0) {
  Window* target = window_at(top_level_windows(), input().cursor);
  if (target == nullptr) return;
  const POINT origin = client_origin_on_screen(*target);
  queue_message(target->handle, message, MAKEWPARAM(mouse_keys(), extra_high),
                MAKELPARAM(input().cursor.x - origin.x, input().cursor.y - origin.y));
}

void move_cursor(LONG x, LONG y) {
  input().cursor = POINT{std::clamp<LONG>(x, 0, GetSystemMetrics(SM_CXSCREEN) - 1),
                         std::clamp<LONG>(y, 0, GetSystemMetrics(SM_CYSCREEN) - 1)};
}

// Absolute coordinates run from 0 to 65535 over the screen, both ends included.
LONG from_absolute(LONG value, int extent) {
  return static_cast<LONG>(std::lround(static_cast<double>(value) * (extent - 1) / 65535.0));
}

void mouse_button(int key, bool down, UINT message) {
  input().down[static_cast<std::size_t>(key)] = down;
  queue_mouse(message);
}

void mouse_input(const MOUSEINPUT& mi) {
  if ((mi.dwFlags & MOUSEEVENTF_MOVE) != 0) {
    if ((mi.dwFlags & MOUSEEVENTF_ABSOLUTE) != 0) {
      move_cursor(from_absolute(mi.dx, GetSystemMetrics(SM_CXSCREEN)), from_absolute(mi.dy, GetSystemMetrics(SM_CYSCREEN)));
    } else {
      move_cursor(input().cursor.x + mi.dx, input().cursor.y + mi.dy);
    }
    queue_mouse(WM_MOUSEMOVE);
  }
  if ((mi.dwFlags & MOUSEEVENTF_LEFTDOWN) != 0) mouse_button(VK_LBUTTON, true, WM_LBUTTONDOWN);
  if ((mi.dwFlags & MOUSEEVENTF_LEFTUP) != 0) mouse_button(VK_LBUTTON, false, WM_LBUTTONUP);
  if ((mi.dwFlags & MOUSEEVENTF_RIGHTDOWN) != 0) mouse_button(VK_RBUTTON, true, WM_RBUTTONDOWN);
  if ((mi.dwFlags & MOUSEEVENTF_RIGHTUP) != 0) mouse_button(VK_RBUTTON, false, WM_RBUTTONUP);
  if ((mi.dwFlags & MOUSEEVENTF_MIDDLEDOWN) != 0) mouse_button(VK_MBUTTON, true, WM_MBUTTONDOWN);
  if ((mi.dwFlags & MOUSEEVENTF_MIDDLEUP) != 0) mouse_button(VK_MBUTTON, false, WM_MBUTTONUP);
  if ((mi.dwFlags & MOUSEEVENTF_WHEEL) != 0) {
    // The wheel goes to the focus window, with the cursor in screen coordinates.
    queue_message(GetFocus(), WM_MOUSEWHEEL, MAKEWPARAM(mouse_keys(), static_cast<WORD>(mi.mouseData)),
                  MAKELPARAM(input().cursor.x, input().cursor.y));
  }
}

// Keys go to the focus window; with none, to the active window as system keys.
void keyboard_input(const KEYBDINPUT& ki) {
  const bool up = (ki.dwFlags & KEYEVENTF_KEYUP) != 0;
  const int key = ki.wVk & 0xFF;
  const bool was_down = held(input().down, key);
  input().down[static_cast<std::size_t>(key)] = !up;
  const bool system = key_is_down(VK_MENU) || key == VK_MENU || key == VK_F10 || GetFocus() == nullptr;
  const HWND target = GetFocus() != nullptr ? GetFocus() : GetActiveWindow();
  WORD flags = static_cast<WORD>(ki.wScan & 0xFF);
  if ((ki.dwFlags & KEYEVENTF_EXTENDEDKEY) != 0) flags |= KF_EXTENDED;
  if (key_is_down(VK_MENU)) flags |= KF_ALTDOWN;
  if (was_down || up) flags |= KF_REPEAT;
  if (up) flags |= KF_UP;
  const UINT message = up ? (system ? WM_SYSKEYUP : WM_KEYUP) : (system ? WM_SYSKEYDOWN : WM_KEYDOWN);
  queue_message(target, message, static_cast<WPARAM>(key), MAKELPARAM(/*repeat count=*/1, flags));
}

const char* message_name(UINT message) {
  switch (message) {
    case WM_MOUSEMOVE: return "WM_MOUSEMOVE";
    case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP: return "WM_LBUTTONUP";
    case WM_RBUTTONDOWN: return "WM_RBUTTONDOWN";
    case WM_RBUTTONUP: return "WM_RBUTTONUP";
    case WM_MBUTTONDOWN: return "WM_MBUTTONDOWN";
    case WM_MBUTTONUP: return "WM_MBUTTONUP";
    case WM_MOUSEWHEEL: return "WM_MOUSEWHEEL";
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_KEYUP: return "WM_KEYUP";
    case WM_SYSKEYDOWN: return "WM_SYSKEYDOWN";
    default: return "WM_SYSKEYUP";
  }
}

void trace_input(const Window& w, const MSG& m) {
  char detail[96];
  std::snprintf(detail, sizeof detail, "%s wParam=0x%08lX lParam=0x%08lX", message_name(m.message),
                static_cast<unsigned long>(m.wParam), static_cast<unsigned long>(m.lParam));
  trace_window("input", w, detail);
}

bool is_key_message(UINT message) {
  return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
}

bool is_button_down(UINT message) {
  return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
}

}  // namespace

POINT cursor_position() { return input().cursor; }

bool take_input_message(MSG& message, HWND filter_window, UINT filter_min, UINT filter_max, bool remove) {
  auto& queue = input().queue;
  for (auto it = queue.begin(); it != queue.end();) {
    Window* target = find_window(it->hwnd);
    if (target == nullptr) {  // input for a window that has gone is dropped
      it = queue.erase(it);
      continue;
    }
    if (!message_matches(*it, filter_window, filter_min, filter_max)) {
      ++it;
      continue;
    }
    message = *it;
    if (!remove) return true;
    queue.erase(it);
    trace_input(*target, message);
    if (is_key_message(message.message)) {
      input().taken_down[message.wParam & 0xFF] = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
    }
    // A click activates the top-level window it lands in.
    if (is_button_down(message.message)) activate(message.hwnd);
    return true;
  }
  return false;
}

}  // namespace winlayer

UINT WINAPI SendInput(UINT cInputs, LPINPUT pInputs, int cbSize) {
  if (cbSize != static_cast<int>(sizeof(INPUT)) || (pInputs == nullptr && cInputs != 0)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  UINT sent = 0;
  for (; sent < cInputs; ++sent) {
    const INPUT& in = pInputs[sent];
    if (in.type == INPUT_MOUSE) {
      winlayer::mouse_input(in.mi);
    } else if (in.type == INPUT_KEYBOARD) {
      winlayer::keyboard_input(in.ki);
    } else {
      SetLastError(ERROR_INVALID_PARAMETER);
      break;
    }
  }
  return sent;
}

SHORT WINAPI GetAsyncKeyState(int vKey) {
  return winlayer::key_is_down(vKey) ? static_cast<SHORT>(0x8000) : 0;
}

BOOL WINAPI GetCursorPos(LPPOINT lpPoint) {
  if (lpPoint == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *lpPoint = winlayer::input().cursor;
  return TRUE;
}

BOOL WINAPI SetCursorPos(int X, int Y) {
  winlayer::move_cursor(X, Y);
  winlayer::queue_mouse(WM_MOUSEMOVE);
  return TRUE;
}

BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
  if (lpMsg == nullptr) return FALSE;
  const UINT m = lpMsg->message;
  if (!winlayer::is_key_message(m)) return FALSE;
  if (m == WM_KEYUP || m == WM_SYSKEYUP) return TRUE;
  const WPARAM key = lpMsg->wParam;
  WCHAR c = 0;
  if (key >= 'A' && key <= 'Z') {
    const auto& keys = winlayer::input().taken_down;
    c = winlayer::key_is_down(VK_CONTROL, keys) ? static_cast<WCHAR>(key - 'A' + 1)
        : winlayer::key_is_down(VK_SHIFT, keys) ? static_cast<WCHAR>(key) : static_cast<WCHAR>(key - 'A' + 'a');
  } else if ((key >= '0' && key <= '9') || key == VK_SPACE || key == VK_RETURN || key == VK_BACK || key == VK_TAB ||
             key == VK_ESCAPE) {
    c = static_cast<WCHAR>(key);
  }
  if (c != 0) PostMessageW(lpMsg->hwnd, m == WM_KEYDOWN ? WM_CHAR : WM_SYSCHAR, c, lpMsg->lParam);
  return TRUE;
}

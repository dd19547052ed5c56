// Keyboard focus, the active window and the foreground window.
#include "window_manager.h"
#include "winlayer/kernel.h"

namespace winlayer {
namespace {

struct FocusState {
  HWND focus = nullptr;
  HWND active = nullptr;
  HWND foreground = nullptr;
};

FocusState& state() {
  static FocusState instance;
  return instance;
}

WPARAM activation(WORD state, const Window& w) {
  return MAKEWPARAM(state, (w.style & WS_MINIMIZE) != 0 ? 1 : 0);
}

bool inside(HWND handle, const Window& tree) {
  for (Window* w = find_window(handle); w != nullptr; w = w->parent != nullptr ? find_window(w->parent) : nullptr) {
    if (w == &tree) return true;
  }
  return false;
}

void kill_focus(HWND new_focus) {
  const HWND old = state().focus;
  state().focus = new_focus;
  if (Window* w = find_window(old)) send(*w, WM_KILLFOCUS, reinterpret_cast<WPARAM>(new_focus));
}

}  // namespace

void activate(Window& window) {
  Window& root = root_of(window);
  if (state().active == root.handle) return;
  const HWND old = state().active;
  if (Window* previous = find_window(old)) {
    send(*previous, WM_NCACTIVATE, FALSE);
    send(*previous, WM_ACTIVATE, activation(WA_INACTIVE, *previous), reinterpret_cast<LPARAM>(root.handle));
  }
  state().active = state().foreground = root.handle;
  trace_window("foreground", root);
  send(root, WM_NCACTIVATE, TRUE);
  send(root, WM_ACTIVATE, activation(WA_ACTIVE, root), reinterpret_cast<LPARAM>(old));
}

void deactivate_if_active(const Window& window) {
  if (inside(state().focus, window)) kill_focus(nullptr);
  Window* active = find_window(state().active);
  if (active == nullptr || active != &window) return;
  state().active = nullptr;
  if (state().foreground == window.handle) state().foreground = nullptr;
  send(*active, WM_NCACTIVATE, FALSE);
  send(*active, WM_ACTIVATE, activation(WA_INACTIVE, *active), 0);
}

void forget_window(HWND handle) {
  for (HWND* held : {&state().focus, &state().active, &state().foreground}) {
    if (*held == handle) *held = nullptr;
  }
  drop_posted_messages(handle);
}

}  // namespace winlayer

using winlayer::Window;

HWND WINAPI SetFocus(HWND hWnd) {
  auto& state = winlayer::state();
  const HWND previous = state.focus;
  if (hWnd == nullptr) {
    winlayer::kill_focus(nullptr);
    return previous;
  }
  Window* window = winlayer::window_or_error(hWnd);
  if (window == nullptr) return nullptr;
  winlayer::activate(*window);  // the top-level window that holds the new focus becomes active first
  if (winlayer::find_window(hWnd) == nullptr || state.focus == hWnd) return previous;
  const HWND old = state.focus;
  winlayer::kill_focus(hWnd);
  if (state.focus != hWnd || winlayer::find_window(hWnd) == nullptr) return previous;
  winlayer::trace_window("focused", *window);
  winlayer::send(*window, WM_SETFOCUS, reinterpret_cast<WPARAM>(old));
  return previous;
}

HWND WINAPI GetFocus() { return winlayer::state().focus; }
HWND WINAPI GetActiveWindow() { return winlayer::state().active; }
HWND WINAPI GetForegroundWindow() { return winlayer::state().foreground; }

BOOL WINAPI SetForegroundWindow(HWND hWnd) {
  if (Window* window = winlayer::find_window(hWnd)) {
    winlayer::activate(*window);
    return TRUE;
  }
  BOOL result = FALSE;
  if (winlayer::remote_request(hWnd, winlayer::kRemoteForeground, 0, result)) return result;
  SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return FALSE;
}

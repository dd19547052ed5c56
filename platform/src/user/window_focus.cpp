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

bool inside(HWND handle, HWND tree) {
  for (Window* w = find_window(handle); w != nullptr; w = w->parent != nullptr ? find_window(w->parent) : nullptr) {
    if (w->handle == tree) return true;
  }
  return false;
}

void kill_focus(HWND new_focus) {
  const HWND old = state().focus;
  state().focus = new_focus;
  send(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(new_focus));
}

// WM_NCACTIVATE, then WM_ACTIVATE with the window's state as it is by then;
// other is the window that loses or gains the activation in its place.
void send_activation(HWND handle, bool active, HWND other) {
  send(handle, WM_NCACTIVATE, active ? TRUE : FALSE);
  if (const Window* w = find_window(handle)) {
    send(handle, WM_ACTIVATE, activation(active ? WA_ACTIVE : WA_INACTIVE, *w), reinterpret_cast<LPARAM>(other));
  }
}

}  // namespace

void activate(HWND handle) {
  Window* window = find_window(handle);
  if (window == nullptr) return;
  const HWND root = root_of(*window).handle;
  const HWND old = state().active;
  if (old == root) return;
  send_activation(old, false, root);
  const Window* new_root = find_window(root);
  if (new_root == nullptr) return;  // the old window's procedure destroyed it
  state().active = state().foreground = root;
  trace_window("foreground", *new_root);
  send_activation(root, true, old);
}

void deactivate_if_active(HWND handle) {
  if (inside(state().focus, handle)) kill_focus(nullptr);
  if (handle == nullptr || state().active != handle) return;  // also when WM_KILLFOCUS destroyed it
  state().active = nullptr;
  if (state().foreground == handle) state().foreground = nullptr;
  send_activation(handle, false, nullptr);
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
  if (winlayer::window_or_error(hWnd) == nullptr) return nullptr;
  winlayer::activate(hWnd);  // the top-level window that holds the new focus becomes active first
  // Each procedure on the way may destroy the window: then it gets no focus.
  if (winlayer::window_or_error(hWnd) == nullptr) return nullptr;
  if (state.focus == hWnd) return previous;
  const HWND old = state.focus;
  winlayer::kill_focus(hWnd);
  const Window* window = winlayer::window_or_error(hWnd);
  if (window == nullptr) return nullptr;
  if (state.focus != hWnd) return previous;
  winlayer::trace_window("focused", *window);
  winlayer::send(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(old));
  return previous;
}

HWND WINAPI GetFocus() { return winlayer::state().focus; }
HWND WINAPI GetActiveWindow() { return winlayer::state().active; }
HWND WINAPI GetForegroundWindow() { return winlayer::state().foreground; }

BOOL WINAPI SetForegroundWindow(HWND hWnd) {
  if (winlayer::find_window(hWnd) != nullptr) {
    winlayer::activate(hWnd);
    return winlayer::window_or_error(hWnd) != nullptr;  // FALSE when a procedure destroyed it on the way
  }
  BOOL result = FALSE;
  if (winlayer::remote_request(hWnd, winlayer::RemoteRequest::kForeground, 0, result)) return result;
  SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return FALSE;
}

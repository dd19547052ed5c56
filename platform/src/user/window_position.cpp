// Where windows are and how they show: rectangles, SetWindowPos, show states,
// coordinates, and the screen's metrics from the profile.
#include <algorithm>

#include "profile.h"
#include "window_manager.h"
#include "winlayer/kernel.h"

namespace winlayer {
namespace {

// Where Windows parks a minimised top-level window, and its size there.
constexpr int kMinimisedPlace = -32000;
constexpr int kMinimisedWidth = 160;
constexpr int kMinimisedHeight = 28;
// A sizing frame: the frame of 4 pixels and its padding of 4.
constexpr int kSizingFrame = 8;
constexpr UINT kNothingChanged = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER;

int width_of(const RECT& r) { return r.right - r.left; }
int height_of(const RECT& r) { return r.bottom - r.top; }

bool is_minimised(const Window& w) { return (w.style & WS_MINIMIZE) != 0; }

struct Insets {
  int left, top, right, bottom;
};

// The borders and caption around the client area, as the metrics give them.
Insets insets(const Window& w) {
  int frame = 0;
  if ((w.style & WS_THICKFRAME) != 0) {
    frame = kSizingFrame;
  } else if ((w.style & WS_DLGFRAME) != 0 || (w.ex_style & WS_EX_DLGMODALFRAME) != 0) {
    frame = GetSystemMetrics(SM_CXFIXEDFRAME);
  } else if ((w.style & WS_BORDER) != 0) {
    frame = GetSystemMetrics(SM_CXBORDER);
  }
  const int edge = (w.ex_style & WS_EX_CLIENTEDGE) != 0 ? GetSystemMetrics(SM_CXEDGE) : 0;
  const int caption = (w.style & WS_CAPTION) == WS_CAPTION ? GetSystemMetrics(SM_CYCAPTION) : 0;
  return {frame + edge, frame + edge + caption, frame + edge, frame + edge};
}

void reorder(Window& w, HWND insert_after) {
  auto& siblings = siblings_of(w);
  siblings.erase(std::remove(siblings.begin(), siblings.end(), w.handle), siblings.end());
  if (insert_after == HWND_BOTTOM) {
    siblings.push_back(w.handle);
    return;
  }
  auto at = std::find(siblings.begin(), siblings.end(), insert_after);
  siblings.insert(at == siblings.end() ? siblings.begin() : at + 1, w.handle);
}

void trace_changes(const Window& w, const RECT& before, bool shown, bool hidden) {
  if (shown) trace_window("shown", w);
  if (hidden) trace_window("hidden", w);
  if (before.left != w.rect.left || before.top != w.rect.top) {
    trace_window("moved", w, "to (" + std::to_string(w.rect.left) + ", " + std::to_string(w.rect.top) + ")");
  }
  if (width_of(before) != width_of(w.rect) || height_of(before) != height_of(w.rect)) {
    trace_window("sized", w, "to " + std::to_string(width_of(w.rect)) + "x" + std::to_string(height_of(w.rect)));
  }
}

// Applies a WINDOWPOS that WM_WINDOWPOSCHANGING has seen; the flags it returns
// say, for WM_WINDOWPOSCHANGED, what did not change.
UINT apply(Window& w, const WINDOWPOS& pos) {
  const RECT before = w.rect;
  const bool was_visible = (w.style & WS_VISIBLE) != 0;
  UINT flags = pos.flags;
  w.rect = RECT{pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};
  if (!is_minimised(w)) w.normal_rect = w.rect;
  if ((flags & SWP_NOZORDER) == 0) reorder(w, pos.hwndInsertAfter);
  if ((flags & SWP_SHOWWINDOW) != 0) w.style |= WS_VISIBLE;
  if ((flags & SWP_HIDEWINDOW) != 0) w.style &= ~WS_VISIBLE;
  const bool visible = (w.style & WS_VISIBLE) != 0;
  if (before.left == w.rect.left && before.top == w.rect.top) flags |= SWP_NOMOVE;
  if (width_of(before) == width_of(w.rect) && height_of(before) == height_of(w.rect)) flags |= SWP_NOSIZE;
  if (visible == was_visible) flags &= ~(SWP_SHOWWINDOW | SWP_HIDEWINDOW);
  trace_changes(w, before, visible && !was_visible, was_visible && !visible);
  return flags;
}

void show_command(HWND handle, bool activate_it) {
  const Window* w = find_window(handle);
  if (w == nullptr) return;
  if ((w->style & WS_VISIBLE) == 0) {
    send(handle, WM_SHOWWINDOW, TRUE, 0);
    set_window_pos(handle, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | kNothingChanged | (activate_it ? 0 : SWP_NOACTIVATE));
  } else if (activate_it && w->parent == nullptr) {
    activate(handle);
  }
}

void hide_command(HWND handle) {
  const Window* w = find_window(handle);
  if (w == nullptr || (w->style & WS_VISIBLE) == 0) return;
  send(handle, WM_SHOWWINDOW, FALSE, 0);
  set_window_pos(handle, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | kNothingChanged | SWP_NOACTIVATE);
  deactivate_if_active(handle);
}

void trace_if_there(HWND handle, const char* event) {
  if (const Window* w = find_window(handle)) trace_window(event, *w);
}

void minimise(HWND handle) {
  Window* w = find_window(handle);
  if (w != nullptr && !is_minimised(*w)) {
    w->normal_rect = w->rect;
    w->style |= WS_MINIMIZE;
    const bool top = w->parent == nullptr;
    const UINT show = (w->style & WS_VISIBLE) == 0 ? SWP_SHOWWINDOW : 0;
    set_window_pos(handle, nullptr, top ? kMinimisedPlace : w->rect.left, top ? kMinimisedPlace : w->rect.top,
                   kMinimisedWidth, kMinimisedHeight, SWP_NOZORDER | SWP_NOACTIVATE | show);
    trace_if_there(handle, "minimised");
  }
  deactivate_if_active(handle);
}

void restore(HWND handle, bool activate_it) {
  const Window* w = find_window(handle);
  if (w == nullptr || !is_minimised(*w)) return show_command(handle, activate_it);
  const bool hidden = (w->style & WS_VISIBLE) == 0;
  if (!send(handle, WM_QUERYOPEN)) return;
  if (hidden) send(handle, WM_SHOWWINDOW, TRUE, 0);
  Window* restored = find_window(handle);
  if (restored == nullptr) return;
  restored->style &= ~WS_MINIMIZE;
  const RECT r = restored->normal_rect;
  set_window_pos(handle, nullptr, r.left, r.top, width_of(r), height_of(r),
                 SWP_NOZORDER | SWP_SHOWWINDOW | (activate_it ? 0 : SWP_NOACTIVATE));
  trace_if_there(handle, "restored");
}

// What follows a position taken: activation, the frame's painting and
// WM_WINDOWPOSCHANGED, each only while the window is still there.
void announce(HWND handle, const WINDOWPOS& pos, bool visible, bool top_level) {
  if (visible && top_level && (pos.flags & SWP_NOACTIVATE) == 0) activate(handle);
  const bool redraw = (pos.flags & SWP_SHOWWINDOW) != 0 || (pos.flags & SWP_NOSIZE) == 0;
  if (visible && redraw && (pos.flags & SWP_NOREDRAW) == 0) {
    send(handle, WM_NCPAINT, 1, 0);
    if (Window* w = find_window(handle)) invalidate(*w, true);
  }
  if ((pos.flags & kNothingChanged) != kNothingChanged || (pos.flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) != 0) {
    send(handle, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
  }
}

}  // namespace

RECT client_area(const Window& w) {
  if (is_minimised(w)) return RECT{w.rect.left, w.rect.top, w.rect.left, w.rect.top};
  const Insets in = insets(w);
  RECT r{w.rect.left + in.left, w.rect.top + in.top, w.rect.right - in.right, w.rect.bottom - in.bottom};
  r.right = std::max(r.right, r.left);
  r.bottom = std::max(r.bottom, r.top);
  return r;
}

POINT client_origin_on_screen(const Window& w) {
  const RECT client = client_area(w);
  POINT origin{client.left, client.top};
  if (w.parent != nullptr) {
    const POINT parent = client_origin_on_screen(*find_window(w.parent));
    origin.x += parent.x;
    origin.y += parent.y;
  }
  return origin;
}

BOOL set_window_pos(HWND handle, HWND insert_after, int x, int y, int cx, int cy, UINT flags) {
  const Window* w = window_or_error(handle);
  if (w == nullptr) return FALSE;
  WINDOWPOS pos{handle, insert_after, x, y, cx, cy, flags};
  if ((flags & SWP_NOMOVE) != 0) pos.x = w->rect.left, pos.y = w->rect.top;
  if ((flags & SWP_NOSIZE) != 0) pos.cx = width_of(w->rect), pos.cy = height_of(w->rect);
  if ((flags & SWP_NOSENDCHANGING) == 0) send(handle, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
  Window* placed = window_or_error(handle);
  if (placed == nullptr) return FALSE;
  pos.flags = apply(*placed, pos);
  announce(handle, pos, is_visible(*placed), placed->parent == nullptr);
  return TRUE;
}

BOOL show_window(HWND handle, int command) {
  const Window* w = window_or_error(handle);
  if (w == nullptr) return FALSE;
  const BOOL was_visible = (w->style & WS_VISIBLE) != 0;
  switch (command) {
    case SW_HIDE: hide_command(handle); break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE: minimise(handle); break;
    case SW_RESTORE:
    case SW_SHOWNORMAL:
    case SW_SHOWDEFAULT: restore(handle, true); break;
    case SW_SHOWNOACTIVATE: restore(handle, false); break;
    case SW_SHOWNA: show_command(handle, false); break;
    default: show_command(handle, true); break;
  }
  return was_visible;
}

}  // namespace winlayer

using winlayer::Window;

BOOL WINAPI SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
  return winlayer::set_window_pos(hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags);
}

BOOL WINAPI ShowWindow(HWND hWnd, int nCmdShow) {
  if (winlayer::find_window(hWnd) != nullptr) return winlayer::show_window(hWnd, nCmdShow);
  BOOL result = FALSE;
  if (winlayer::remote_request(hWnd, winlayer::RemoteRequest::kShow, nCmdShow, result)) return result;
  SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return FALSE;
}

BOOL WINAPI IsWindowVisible(HWND hWnd) {
  const Window* window = winlayer::find_window(hWnd);
  return window != nullptr && winlayer::is_visible(*window);
}

BOOL WINAPI IsIconic(HWND hWnd) {
  const Window* window = winlayer::find_window(hWnd);
  return window != nullptr && winlayer::is_minimised(*window);
}

BOOL WINAPI GetWindowRect(HWND hWnd, LPRECT lpRect) {
  const Window* window = winlayer::window_or_error(hWnd);
  if (window == nullptr) return FALSE;
  if (lpRect == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *lpRect = window->rect;
  if (window->parent != nullptr) {
    const POINT origin = winlayer::client_origin_on_screen(*winlayer::find_window(window->parent));
    *lpRect = RECT{lpRect->left + origin.x, lpRect->top + origin.y, lpRect->right + origin.x, lpRect->bottom + origin.y};
  }
  return TRUE;
}

BOOL WINAPI GetClientRect(HWND hWnd, LPRECT lpRect) {
  const Window* window = winlayer::window_or_error(hWnd);
  if (window == nullptr) return FALSE;
  if (lpRect == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const RECT client = winlayer::client_area(*window);
  *lpRect = RECT{0, 0, client.right - client.left, client.bottom - client.top};
  return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
  const Window* window = winlayer::window_or_error(hWnd);
  if (window == nullptr || lpPoint == nullptr) return FALSE;
  const POINT origin = winlayer::client_origin_on_screen(*window);
  lpPoint->x += origin.x;
  lpPoint->y += origin.y;
  return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
  const Window* window = winlayer::window_or_error(hWnd);
  if (window == nullptr || lpPoint == nullptr) return FALSE;
  const POINT origin = winlayer::client_origin_on_screen(*window);
  lpPoint->x -= origin.x;
  lpPoint->y -= origin.y;
  return TRUE;
}

int WINAPI GetSystemMetrics(int nIndex) {
  switch (nIndex) {
    case SM_CXSCREEN: return winlayer::profile().screen_width;
    case SM_CYSCREEN: return winlayer::profile().screen_height;
    case SM_CYCAPTION: return 23;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXFIXEDFRAME:
    case SM_CYFIXEDFRAME: return 3;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    default: return 0;
  }
}

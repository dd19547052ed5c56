// Update regions and WM_PAINT: BeginPaint, EndPaint, InvalidateRect, UpdateWindow.
// Nothing is drawn; what is tracked is which windows wait for painting.
#include <algorithm>

#include "window_manager.h"
#include "winlayer/kernel.h"

namespace winlayer {
namespace {

RECT whole_client(const Window& w) {
  const RECT client = client_area(w);
  return RECT{0, 0, client.right - client.left, client.bottom - client.top};
}

void add_to_update(Window& w, const RECT& r, bool erase) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  w.update = w.needs_paint ? RECT{std::min(w.update.left, r.left), std::min(w.update.top, r.top),
                                  std::max(w.update.right, r.right), std::max(w.update.bottom, r.bottom)}
                           : r;
  w.needs_paint = true;
  w.needs_erase = w.needs_erase || erase;
}

Window* first_to_paint(const std::vector<HWND>& windows) {
  for (HWND handle : windows) {
    Window* w = find_window(handle);
    // A minimised window shows no client area to paint.
    if ((w->style & WS_VISIBLE) == 0 || (w->style & WS_MINIMIZE) != 0) continue;
    if (w->needs_paint) return w;
    if (Window* child = first_to_paint(w->children)) return child;
  }
  return nullptr;
}

// Device contexts draw nothing on the layer; one value stands for all.
HDC layer_device_context() {
  static char tag;
  return reinterpret_cast<HDC>(&tag);
}

}  // namespace

void invalidate(Window& window, bool erase) {
  add_to_update(window, whole_client(window), erase);
  for (HWND child : descendants(window)) {
    Window& w = *find_window(child);
    add_to_update(w, whole_client(w), erase);
  }
}

Window* window_to_paint(HWND filter_window) {
  if (filter_window == nullptr) return first_to_paint(top_level_windows());
  Window* w = find_window(filter_window);
  if (w == nullptr || !is_visible(*w) || (w->style & WS_MINIMIZE) != 0) return nullptr;
  return w->needs_paint ? w : first_to_paint(w->children);
}

}  // namespace winlayer

using winlayer::Window;

HDC WINAPI BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
  Window* window = winlayer::window_or_error(hWnd);
  if (window == nullptr) return nullptr;
  if (lpPaint == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const HDC dc = winlayer::layer_device_context();
  const RECT update = window->needs_paint ? window->update : RECT{};
  const bool erase = window->needs_erase;
  window->needs_paint = window->needs_erase = false;
  *lpPaint = PAINTSTRUCT{dc, FALSE, update, FALSE, FALSE, {}};
  // fErase tells the procedure that the background is still to be erased.
  if (erase) lpPaint->fErase = winlayer::send(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc)) == 0;
  return dc;
}

BOOL WINAPI EndPaint(HWND, const PAINTSTRUCT*) { return TRUE; }

BOOL WINAPI InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase) {
  Window* window = winlayer::window_or_error(hWnd);
  if (window == nullptr) return FALSE;
  if (lpRect == nullptr) {
    winlayer::add_to_update(*window, winlayer::whole_client(*window), bErase != FALSE);
  } else {
    const RECT client = winlayer::whole_client(*window);
    const RECT r{std::max<LONG>(lpRect->left, client.left), std::max<LONG>(lpRect->top, client.top),
                 std::min<LONG>(lpRect->right, client.right), std::min<LONG>(lpRect->bottom, client.bottom)};
    winlayer::add_to_update(*window, r, bErase != FALSE);
  }
  return TRUE;
}

BOOL WINAPI UpdateWindow(HWND hWnd) {
  Window* window = winlayer::window_or_error(hWnd);
  if (window == nullptr) return FALSE;
  if (window->needs_paint && winlayer::is_visible(*window)) winlayer::send(hWnd, WM_PAINT);
  return TRUE;
}

// CreateWindowExW and DestroyWindow: the messages of a window's birth and end,
// in Windows' order.
#include <memory>

#include "window_manager.h"
#include "winlayer/kernel.h"

namespace winlayer {
namespace {

bool is_overlapped(DWORD style) { return (style & (WS_POPUP | WS_CHILD)) == 0; }

// CW_USEDEFAULT: an overlapped window gets a cascaded place and three quarters
// of the screen; a popup or child window 0, 0 and 0 by 0.
RECT initial_rect(DWORD style, int x, int y, int width, int height) {
  static int cascade = 0;
  if (x == CW_USEDEFAULT) {
    const int step = is_overlapped(style) ? 26 * (cascade++ % 8) : 0;
    x = y = step;
  }
  if (width == CW_USEDEFAULT) {
    width = is_overlapped(style) ? GetSystemMetrics(SM_CXSCREEN) * 3 / 4 : 0;
    height = is_overlapped(style) ? GetSystemMetrics(SM_CYSCREEN) * 3 / 4 : 0;
  }
  return RECT{x, y, x + width, y + height};
}

std::unique_ptr<Window> new_window(HWND handle, WindowClass& window_class, LPCWSTR title, DWORD style,
                                   DWORD ex_style, const RECT& rect, HWND parent, HMENU menu, HINSTANCE instance) {
  auto window = std::make_unique<Window>();
  window->handle = handle;
  window->window_class = &window_class;
  window->title = title != nullptr ? title : u"";
  // Overlapped windows always have a caption; WS_VISIBLE comes with the showing.
  window->style = (is_overlapped(style) ? style | WS_CAPTION | WS_CLIPSIBLINGS : style) & ~WS_VISIBLE;
  window->ex_style = ex_style;
  window->proc = window_class.proc;
  window->instance = instance;
  ((style & WS_CHILD) != 0 ? window->parent : window->owner) = parent;
  window->rect = window->normal_rect = rect;
  if ((style & WS_CHILD) != 0) window->id = static_cast<LONG>(reinterpret_cast<ULONG_PTR>(menu));
  return window;
}

bool check_parent(DWORD style, HWND parent) {
  if ((style & WS_CHILD) != 0 && parent == nullptr) {
    SetLastError(ERROR_TLW_WITH_WSCHILD);
    return false;
  }
  return parent == nullptr || window_or_error(parent) != nullptr;
}

void send_nc_destroy(HWND handle) {
  send(handle, WM_NCDESTROY);
  if (find_window(handle) != nullptr) remove_window(handle);
}

// WM_DESTROY parents before children, while every child still exists; then
// WM_NCDESTROY children before parents, each window leaving after its own.
void destroy_tree(HWND handle) {
  std::vector<HWND> tree{handle};
  for (HWND child : descendants(*find_window(handle))) tree.push_back(child);
  for (HWND member : tree) find_window(member)->destroying = true;
  for (HWND member : tree) send(member, WM_DESTROY);
  for (auto it = tree.rbegin(); it != tree.rend(); ++it) send_nc_destroy(*it);
}

// WM_NCCREATE, then the window is announced, then WM_CREATE; false when the
// procedure refused either or destroyed the window on the way.
bool send_creation(HWND handle, CREATESTRUCTW& create) {
  if (!send(handle, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) {
    send_nc_destroy(handle);
    return false;
  }
  const Window* window = find_window(handle);
  if (window == nullptr) return false;
  trace_window("created", *window, window->parent != nullptr ? "parent=" + handle_text(window->parent) : "");
  if (window->parent == nullptr) publish_window(*window);
  if (send(handle, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
    DestroyWindow(handle);
    return false;
  }
  return find_window(handle) != nullptr;
}

}  // namespace
}  // namespace winlayer

using winlayer::Window;

HWND WINAPI CreateWindowExW(DWORD dwExStyle, LPCWSTR lpClassName, LPCWSTR lpWindowName, DWORD dwStyle, int X,
                            int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                            LPVOID lpParam) {
  winlayer::WindowClass* window_class =
      lpClassName != nullptr && !IS_INTRESOURCE(lpClassName) ? winlayer::find_class(lpClassName, hInstance) : nullptr;
  if (window_class == nullptr) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  if (!winlayer::check_parent(dwStyle, hWndParent)) return nullptr;
  const HWND handle = winlayer::new_window_handle();
  if (handle == nullptr) return nullptr;
  const RECT rect = winlayer::initial_rect(dwStyle, X, Y, nWidth, nHeight);
  winlayer::add_window(winlayer::new_window(handle, *window_class, lpWindowName, dwStyle, dwExStyle, rect, hWndParent,
                                            hMenu, hInstance));
  CREATESTRUCTW create{lpParam, hInstance, hMenu, hWndParent, rect.bottom - rect.top, rect.right - rect.left,
                       rect.top, rect.left, static_cast<LONG>(dwStyle), lpWindowName, lpClassName, dwExStyle};
  const DWORD error = GetLastError();
  if (!winlayer::send_creation(handle, create)) {
    SetLastError(error);
    return nullptr;
  }
  if ((dwStyle & WS_VISIBLE) != 0) winlayer::show_window(handle, SW_SHOW);
  return winlayer::find_window(handle) != nullptr ? handle : nullptr;
}

BOOL WINAPI DestroyWindow(HWND hWnd) {
  Window* window = winlayer::find_window(hWnd);
  if (window == nullptr) {
    SetLastError(winlayer::remote_window_exists(hWnd) ? ERROR_ACCESS_DENIED : ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (window->destroying) return TRUE;
  // Marked first, so that a procedure that calls DestroyWindow again while the
  // window is hidden or deactivated leaves the destruction to this call.
  window->destroying = true;
  if ((window->style & WS_VISIBLE) != 0) {
    winlayer::set_window_pos(hWnd, nullptr, 0, 0, 0, 0,
                             SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  winlayer::deactivate_if_active(hWnd);
  // Gone already when a procedure destroyed a window that holds this one.
  if (const Window* still = winlayer::find_window(hWnd)) {
    winlayer::trace_window("destroyed", *still);
    winlayer::destroy_tree(hWnd);
  }
  return TRUE;
}

// DefWindowProcW: what Windows does with a message that a procedure passes on.
#include "window_manager.h"
#include "winlayer/kernel.h"

namespace winlayer {
namespace {

// The WM_SIZE and WM_MOVE that a changed position gives, from the client area.
void size_and_move(HWND handle, const WINDOWPOS& pos) {
  const Window& w = *find_window(handle);
  const RECT client = client_area(w);
  const WPARAM kind = (w.style & WS_MINIMIZE) != 0 ? SIZE_MINIMIZED : SIZE_RESTORED;
  if ((pos.flags & SWP_NOSIZE) == 0) {
    send(handle, WM_SIZE, kind, MAKELPARAM(client.right - client.left, client.bottom - client.top));
  }
  if ((pos.flags & SWP_NOMOVE) == 0) send(handle, WM_MOVE, 0, MAKELPARAM(client.left, client.top));
}

LRESULT system_command(HWND handle, WPARAM command) {
  switch (command & 0xFFF0) {
    case SC_CLOSE: return send(handle, WM_CLOSE);
    case SC_MINIMIZE: show_window(handle, SW_MINIMIZE); return 0;
    case SC_RESTORE: show_window(handle, SW_RESTORE); return 0;
    default: return 0;
  }
}

LRESULT erase_background(const Window& w) { return w.window_class->background != nullptr ? TRUE : FALSE; }

LRESULT paint(HWND handle) {
  PAINTSTRUCT ps;
  BeginPaint(handle, &ps);
  EndPaint(handle, &ps);
  return 0;
}

}  // namespace
}  // namespace winlayer

LRESULT WINAPI DefWindowProcW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  winlayer::Window* window = winlayer::find_window(hWnd);
  if (window == nullptr) return 0;
  switch (Msg) {
    case WM_NCCREATE: return TRUE;
    case WM_CLOSE: DestroyWindow(hWnd); return 0;
    case WM_SYSCOMMAND: return winlayer::system_command(hWnd, wParam);
    case WM_SYSKEYDOWN:
      // Alt+F4 asks the top-level window to close.
      if (wParam == VK_F4 && (HIWORD(lParam) & KF_ALTDOWN) != 0) {
        return winlayer::send(winlayer::root_of(*window).handle, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      return 0;
    case WM_WINDOWPOSCHANGED:
      winlayer::size_and_move(hWnd, *reinterpret_cast<const WINDOWPOS*>(lParam));
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && HIWORD(wParam) == 0) SetFocus(hWnd);
      return 0;
    case WM_MOUSEWHEEL:
      // The wheel goes up the parent chain until a window handles it.
      return window->parent != nullptr ? SendMessageW(window->parent, Msg, wParam, lParam) : 0;
    case WM_ERASEBKGND: return winlayer::erase_background(*window);
    case WM_PAINT: return winlayer::paint(hWnd);
    case WM_QUERYOPEN: return TRUE;
    case WM_NCACTIVATE: return TRUE;
    default: return 0;
  }
}

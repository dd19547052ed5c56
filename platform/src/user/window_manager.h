// The window manager's shared state: window classes, the window table, the
// focus and activation of the process's one window thread, and the helpers that
// the window_*, message_* and input files call one another through.
//
// The one rule of a window's lifetime: a call into a window procedure may
// destroy any window, the one it was sent to included, and the Window is freed
// at once. So a function that may reach a procedure, itself or through another
// such function, takes the window's HWND, never a Window& or Window*. It reads
// and changes the window only through find_window, again after each call that
// may reach a procedure, and stops when the window has gone, with the result
// that Windows gives for a window that no longer exists. Each such function
// accepts a handle whose window has gone (send calls nothing, set_window_pos
// fails), so that calls in a row need no check between them. A Window& or
// Window* is held only across code that reaches no procedure.
#ifndef WINLAYER_WINDOW_MANAGER_H
#define WINLAYER_WINDOW_MANAGER_H

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "winlayer/user.h"

namespace winlayer {

struct WindowClass {
  std::u16string name;
  UINT style = 0;
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  ATOM atom = 0;
};

// The class a window of hInstance gets by that name: local classes of the
// instance first, then CS_GLOBALCLASS classes; null when there is none.
WindowClass* find_class(std::u16string_view name, HINSTANCE instance);

struct Window {
  HWND handle = nullptr;
  WindowClass* window_class = nullptr;
  std::u16string title;
  DWORD style = 0;
  DWORD ex_style = 0;
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
  HWND parent = nullptr;       // of a child window
  HWND owner = nullptr;        // of a top-level window
  std::vector<HWND> children;  // the top of the Z order first
  RECT rect{};                 // in the parent's client coordinates; the screen's for a top-level window
  RECT normal_rect{};          // where a minimised window returns to
  LONG id = 0;
  LONG user_data = 0;
  std::vector<std::pair<std::string, HANDLE>> properties;
  bool needs_paint = false;  // an update region is pending
  bool needs_erase = false;
  RECT update{};             // its bounds, in client coordinates
  bool destroying = false;   // DestroyWindow has begun: a second call returns at once
};

// The live window of this process with that handle, or null.
Window* find_window(HWND handle);
// As find_window; null with ERROR_INVALID_WINDOW_HANDLE for anything else.
Window* window_or_error(HWND handle);
// Top-level windows of this process, the top of the Z order first.
const std::vector<HWND>& top_level_windows();
// The window's parent's children, or the top-level windows: its place in the Z order.
std::vector<HWND>& siblings_of(Window& window);
// The top-level window that holds a window (the window itself when top-level).
Window& root_of(Window& window);
// Every descendant, each child before its own children.
std::vector<HWND> descendants(const Window& window);
bool is_visible(const Window& window);

// A window handle that no window of the logon session had before (null when the
// session's counter cannot be written).
HWND new_window_handle();
// The table's side of a window's life: in, placed in its parent's Z order; out,
// its handle never to be found again.
Window& add_window(std::unique_ptr<Window> window);
void remove_window(HWND handle);

// Calls the current procedure of the window (SendMessageW within the process);
// 0 without a call when the window does not exist (any more).
LRESULT send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

// Geometry: the window rectangle less its borders and caption, in the same
// coordinates; the client origin in screen coordinates.
RECT client_area(const Window& window);
POINT client_origin_on_screen(const Window& window);

// Show states and positions, carried out with Windows' messages, with the
// results of ShowWindow and SetWindowPos for a window of this process: FALSE and
// ERROR_INVALID_WINDOW_HANDLE for a window that does not exist (any more).
BOOL show_window(HWND window, int command);
BOOL set_window_pos(HWND window, HWND insert_after, int x, int y, int cx, int cy, UINT flags);

// Focus and activation; nothing for a window that does not exist (any more).
void activate(HWND window);
void deactivate_if_active(HWND window);
void forget_window(HWND handle);  // a destroyed window holds no focus, activation or queued message
void drop_posted_messages(HWND handle);

// Painting: the client area (of the window and of its descendants) becomes
// invalid; the visible window that waits for WM_PAINT first, or null.
void invalidate(Window& window, bool erase);
Window* window_to_paint(HWND filter_window);

// Publishing top-level windows to the logon session, and the requests that other
// processes make of them.
void publish_window(const Window& window);
void withdraw_window(HWND handle);
bool remote_window_exists(HWND handle);
// What another process asks of a window; the values cross between processes.
enum class RemoteRequest : std::uint32_t { kShow = 1, kForeground = 2 };
// Carries out ShowWindow (the argument is nCmdShow) or SetForegroundWindow on a
// window of another process; false when no process of the session owns the
// handle, or its owner does not answer in time.
bool remote_request(HWND handle, RemoteRequest kind, int argument, BOOL& result);
// The descriptor that wakes GetMessageW for requests of other processes (-1:
// none yet), and the handling of what has arrived.
int remote_requests_descriptor();
void handle_remote_requests();

// Message filters of GetMessageW and PeekMessageW.
bool message_matches(const MSG& message, HWND filter_window, UINT filter_min, UINT filter_max);
// The next input message that matches, taken off the input queue with remove.
bool take_input_message(MSG& message, HWND filter_window, UINT filter_min, UINT filter_max, bool remove);
// The cursor position, as MSG records it.
POINT cursor_position();

// Class atoms and registered messages: the session-wide id of a name (any
// case); 0 with the error code when the session's table fails.
UINT register_atom(std::u16string_view name);

// Window and class values that hold a pointer, as the LONG of GWL_ and GCL_
// indexes (whole only in a 32-bit program).
template <class T>
LONG to_long(T pointer) {
  return static_cast<LONG>(reinterpret_cast<ULONG_PTR>(pointer));
}
template <class T>
T from_long(LONG value) {
  return reinterpret_cast<T>(static_cast<ULONG_PTR>(static_cast<DWORD>(value)));
}

// Trace lines of window events: "window <event>: <class> <handle>[ <detail>]".
void trace_window(const char* event, const Window& window, const std::string& detail = {});
std::string handle_text(HWND handle);

}  // namespace winlayer

#endif

// The thread's message queue: sent and posted messages, the quit request, and
// the retrieval order of GetMessageW and PeekMessageW.
#include <poll.h>

#include <deque>

#include "window_manager.h"
#include "winlayer/kernel.h"

namespace winlayer {
namespace {

struct Queue {
  std::deque<MSG> posted;
  bool quit = false;
  int quit_code = 0;
};

Queue& queue() {
  static auto* instance = new Queue;
  return *instance;
}

bool is_within(HWND handle, HWND ancestor) {
  for (Window* w = find_window(handle); w != nullptr; w = find_window(w->parent)) {
    if (w->handle == ancestor) return true;
  }
  return false;
}

bool take_posted(MSG& message, HWND filter_window, UINT filter_min, UINT filter_max, bool remove) {
  auto& posted = queue().posted;
  for (auto it = posted.begin(); it != posted.end(); ++it) {
    if (!message_matches(*it, filter_window, filter_min, filter_max)) continue;
    message = *it;
    if (remove) posted.erase(it);
    return true;
  }
  return false;
}

bool take_quit(MSG& message, HWND filter_window, bool remove) {
  if (!queue().quit || filter_window != nullptr) return false;
  message = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(queue().quit_code), 0, GetTickCount(), cursor_position()};
  if (remove) queue().quit = false;
  return true;
}

bool take_paint(MSG& message, HWND filter_window, UINT filter_min, UINT filter_max) {
  Window* window = window_to_paint(filter_window);
  if (window == nullptr) return false;
  const MSG paint{window->handle, WM_PAINT, 0, 0, GetTickCount(), cursor_position()};
  if (!message_matches(paint, filter_window, filter_min, filter_max)) return false;
  message = paint;
  return true;
}

// Windows' order: requests of other processes first, then posted messages, the
// quit request, input, and painting.
bool next_message(MSG& message, HWND filter_window, UINT filter_min, UINT filter_max, bool remove) {
  handle_remote_requests();
  return take_posted(message, filter_window, filter_min, filter_max, remove) ||
         take_quit(message, filter_window, remove) ||
         take_input_message(message, filter_window, filter_min, filter_max, remove) ||
         take_paint(message, filter_window, filter_min, filter_max);
}

// Sleeps until another process makes a request; without a window published to
// the session nothing can come, and the thread waits as Windows' would.
void wait_for_requests() {
  pollfd descriptor{remote_requests_descriptor(), POLLIN, 0};
  ::poll(&descriptor, descriptor.fd >= 0 ? 1 : 0, -1);
}

bool check_filter(LPMSG lpMsg, HWND hWnd) {
  if (lpMsg == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  return hWnd == nullptr || window_or_error(hWnd) != nullptr;
}

}  // namespace

bool message_matches(const MSG& message, HWND filter_window, UINT filter_min, UINT filter_max) {
  if (filter_window != nullptr && !is_within(message.hwnd, filter_window)) return false;
  return (filter_min == 0 && filter_max == 0) || (message.message >= filter_min && message.message <= filter_max);
}

LRESULT send(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
  const Window* window = find_window(handle);
  return window != nullptr && window->proc != nullptr ? window->proc(handle, message, wParam, lParam) : 0;
}

void drop_posted_messages(HWND handle) {
  auto& posted = queue().posted;
  for (auto it = posted.begin(); it != posted.end();) {
    it = it->hwnd == handle ? posted.erase(it) : it + 1;
  }
}

}  // namespace winlayer

LRESULT WINAPI SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return winlayer::window_or_error(hWnd) == nullptr ? 0 : winlayer::send(hWnd, Msg, wParam, lParam);
}

BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (hWnd != nullptr && winlayer::window_or_error(hWnd) == nullptr) return FALSE;
  winlayer::queue().posted.push_back(
      MSG{hWnd, Msg, wParam, lParam, GetTickCount(), winlayer::cursor_position()});
  return TRUE;
}

void WINAPI PostQuitMessage(int nExitCode) {
  winlayer::queue().quit = true;
  winlayer::queue().quit_code = nExitCode;
}

BOOL WINAPI GetMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
  if (!winlayer::check_filter(lpMsg, hWnd)) return -1;
  while (!winlayer::next_message(*lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, true)) winlayer::wait_for_requests();
  return lpMsg->message != WM_QUIT;
}

BOOL WINAPI PeekMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
  if (!winlayer::check_filter(lpMsg, hWnd)) return FALSE;
  return winlayer::next_message(*lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0);
}

LRESULT WINAPI DispatchMessageW(const MSG* lpMsg) {
  if (lpMsg == nullptr || lpMsg->hwnd == nullptr) return 0;
  if (winlayer::window_or_error(lpMsg->hwnd) == nullptr) return 0;
  return winlayer::send(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

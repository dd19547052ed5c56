// The window table: handles, lookup, parents and children, window values,
// procedures and properties. Creation and destruction are window_life.cpp's.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

#include "errors.h"
#include "private_folder.h"
#include "text.h"
#include "trace.h"
#include "winlayer/unique_fd.h"
#include "window_manager.h"
#include "winlayer/kernel.h"

namespace winlayer {
namespace {

struct WindowTable {
  std::map<HWND, std::unique_ptr<Window>> windows;
  std::vector<HWND> top_level;  // the top of the Z order first
};

WindowTable& table() {
  static auto* instance = new WindowTable;
  return *instance;
}

// Handles count up in the session folder's handles file: even values from
// 0x10000, clear of the special values (HWND_TOP, HWND_BOTTOM, and the negative
// ones); 0 with the error code when the file fails, or when every value is used.
std::uint32_t next_handle_number() {
  constexpr std::uint32_t kFirst = 0x10000;
  constexpr std::uint32_t kCount = (0xFFFFFFFEu - kFirst) / 2 + 1;
  const PrivateFolder session = session_folder();
  const UniqueFd fd = session.open_locked("handles");
  std::uint32_t next = 0;
  const ssize_t got = fd.valid() ? ::pread(fd.get(), &next, sizeof next, 0) : -1;
  if (got != 0 && got != static_cast<ssize_t>(sizeof next)) {
    if (got >= 0) errno = EINVAL;  // not a count this layer wrote
    set_error_from_errno(session.path());
    return 0;
  }
  if (next >= kCount) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  const std::uint32_t following = next + 1;
  if (::pwrite(fd.get(), &following, sizeof following, 0) != static_cast<ssize_t>(sizeof following)) {
    set_error_from_errno(session.path());
    return 0;
  }
  return kFirst + 2u * next;
}

void unlink_from_parent(Window& window) {
  auto& siblings = siblings_of(window);
  siblings.erase(std::remove(siblings.begin(), siblings.end(), window.handle), siblings.end());
}

void collect_descendants(const Window& window, std::vector<HWND>& out) {
  for (HWND child : window.children) {
    out.push_back(child);
    collect_descendants(*find_window(child), out);
  }
}

// The value an index names; false for an unknown index or a pointer that a
// LONG cannot hold in this program.
bool window_value(const Window& w, int index, LONG& out) {
  switch (index) {
    case GWL_STYLE: out = static_cast<LONG>(w.style); return true;
    case GWL_EXSTYLE: out = static_cast<LONG>(w.ex_style); return true;
    case GWL_ID: out = w.id; return true;
    case GWL_USERDATA: out = w.user_data; return true;
    case GWL_WNDPROC: out = to_long(w.proc); return sizeof(WNDPROC) <= sizeof(LONG);
    case GWL_HINSTANCE: out = to_long(w.instance); return sizeof(HINSTANCE) <= sizeof(LONG);
    case GWL_HWNDPARENT: out = to_long(w.parent != nullptr ? w.parent : w.owner); return sizeof(HWND) <= sizeof(LONG);
    default: return false;
  }
}

void set_window_value(Window& w, int index, LONG value) {
  switch (index) {
    case GWL_STYLE: w.style = static_cast<DWORD>(value); break;
    case GWL_EXSTYLE: w.ex_style = static_cast<DWORD>(value); break;
    case GWL_ID: w.id = value; break;
    case GWL_USERDATA: w.user_data = value; break;
    case GWL_WNDPROC: w.proc = from_long<WNDPROC>(value); break;
    case GWL_HINSTANCE: w.instance = from_long<HINSTANCE>(value); break;
    case GWL_HWNDPARENT: w.owner = from_long<HWND>(value); break;
  }
}

// Property names are matched without regard to case.
bool same_property(const std::string& a, const char* b) { return equal_ignoring_case_utf8(a, b); }

std::string property_name(LPCSTR name) {
  if (IS_INTRESOURCE(name)) return "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name));
  return name;
}

}  // namespace

Window* find_window(HWND handle) {
  const auto it = table().windows.find(handle);
  return it == table().windows.end() ? nullptr : it->second.get();
}

Window* window_or_error(HWND handle) {
  Window* window = find_window(handle);
  if (window == nullptr) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return window;
}

const std::vector<HWND>& top_level_windows() { return table().top_level; }

std::vector<HWND>& siblings_of(Window& window) {
  return window.parent != nullptr ? find_window(window.parent)->children : table().top_level;
}

Window& root_of(Window& window) {
  Window* w = &window;
  while (w->parent != nullptr) w = find_window(w->parent);
  return *w;
}

std::vector<HWND> descendants(const Window& window) {
  std::vector<HWND> out;
  collect_descendants(window, out);
  return out;
}

bool is_visible(const Window& window) {
  for (const Window* w = &window; w != nullptr; w = w->parent != nullptr ? find_window(w->parent) : nullptr) {
    if ((w->style & WS_VISIBLE) == 0) return false;
  }
  return true;
}

HWND new_window_handle() {
  const std::uint32_t number = next_handle_number();
  return number == 0 ? nullptr : reinterpret_cast<HWND>(static_cast<ULONG_PTR>(number));
}

std::string handle_text(HWND handle) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%08llX", static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(handle)));
  return text;
}

void trace_window(const char* event, const Window& window, const std::string& detail) {
  trace(std::string("window ") + event + ": " + utf16_to_utf8(window.window_class->name) + " " +
        handle_text(window.handle) + (detail.empty() ? "" : " " + detail));
}

// A new window in the table, placed in its parent's Z order: children below
// their older siblings, top-level windows on top.
Window& add_window(std::unique_ptr<Window> window) {
  Window& added = *window;
  table().windows.emplace(added.handle, std::move(window));
  if (added.parent != nullptr) {
    find_window(added.parent)->children.push_back(added.handle);
  } else {
    table().top_level.insert(table().top_level.begin(), added.handle);
  }
  return added;
}

// The last of a window: out of the table, its handle never to be seen again.
void remove_window(HWND handle) {
  Window* window = find_window(handle);
  unlink_from_parent(*window);
  if (window->parent == nullptr) withdraw_window(handle);
  forget_window(handle);
  table().windows.erase(handle);
}

}  // namespace winlayer

using winlayer::Window;

BOOL WINAPI IsWindow(HWND hWnd) {
  return winlayer::find_window(hWnd) != nullptr || winlayer::remote_window_exists(hWnd);
}

HWND WINAPI GetParent(HWND hWnd) {
  const Window* window = winlayer::window_or_error(hWnd);
  if (window == nullptr) return nullptr;
  if (window->parent != nullptr) return window->parent;
  return (window->style & WS_POPUP) != 0 ? window->owner : nullptr;
}

BOOL WINAPI EnumChildWindows(HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam) {
  std::vector<HWND> windows;
  if (hWndParent == nullptr) {
    windows = winlayer::top_level_windows();
  } else if (const Window* parent = winlayer::window_or_error(hWndParent)) {
    windows = winlayer::descendants(*parent);
  } else {
    return FALSE;
  }
  for (HWND child : windows) {
    // A window that an earlier callback destroyed is left out.
    if (winlayer::find_window(child) != nullptr && !lpEnumFunc(child, lParam)) return FALSE;
  }
  return TRUE;
}

LONG WINAPI GetWindowLongW(HWND hWnd, int nIndex) {
  const Window* window = winlayer::window_or_error(hWnd);
  if (window == nullptr) return 0;
  LONG value = 0;
  if (!winlayer::window_value(*window, nIndex, value)) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  SetLastError(ERROR_SUCCESS);
  return value;
}

LONG WINAPI SetWindowLongW(HWND hWnd, int nIndex, LONG dwNewLong) {
  const LONG previous = GetWindowLongW(hWnd, nIndex);
  if (GetLastError() != ERROR_SUCCESS) return 0;
  winlayer::set_window_value(*winlayer::find_window(hWnd), nIndex, dwNewLong);
  return previous;
}

LRESULT WINAPI CallWindowProcW(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return lpPrevWndFunc == nullptr ? 0 : lpPrevWndFunc(hWnd, Msg, wParam, lParam);
}

BOOL WINAPI SetPropA(HWND hWnd, LPCSTR lpString, HANDLE hData) {
  Window* window = winlayer::window_or_error(hWnd);
  if (window == nullptr) return FALSE;
  const std::string name = winlayer::property_name(lpString);
  for (auto& property : window->properties) {
    if (winlayer::same_property(property.first, name.c_str())) {
      property.second = hData;
      return TRUE;
    }
  }
  window->properties.emplace_back(name, hData);
  return TRUE;
}

HANDLE WINAPI GetPropA(HWND hWnd, LPCSTR lpString) {
  const Window* window = winlayer::find_window(hWnd);
  if (window == nullptr) return nullptr;
  const std::string name = winlayer::property_name(lpString);
  for (const auto& property : window->properties) {
    if (winlayer::same_property(property.first, name.c_str())) return property.second;
  }
  return nullptr;
}

HANDLE WINAPI RemovePropA(HWND hWnd, LPCSTR lpString) {
  Window* window = winlayer::find_window(hWnd);
  if (window == nullptr) return nullptr;
  const std::string name = winlayer::property_name(lpString);
  auto& properties = window->properties;
  for (auto it = properties.begin(); it != properties.end(); ++it) {
    if (winlayer::same_property(it->first, name.c_str())) {
      HANDLE data = it->second;
      properties.erase(it);
      return data;
    }
  }
  return nullptr;
}

// Window classes: registration, lookup by name and instance, class values.
#include <deque>
#include <memory>

#include "text.h"
#include "window_manager.h"
#include "winlayer/kernel.h"

namespace winlayer {
namespace {

// Classes live as long as the process; a deque keeps their addresses.
std::deque<WindowClass>& classes() {
  static auto* instance = new std::deque<WindowClass>;
  return *instance;
}

bool is_global(const WindowClass& c) { return (c.style & CS_GLOBALCLASS) != 0; }

WindowClass* find_registered(std::u16string_view name, HINSTANCE instance, bool global) {
  for (auto& c : classes()) {
    if (is_global(c) == global && (global || c.instance == instance) && equal_ignoring_case(c.name, name)) return &c;
  }
  return nullptr;
}

// Pointer-valued class values fit in a DWORD only in a 32-bit program, as the
// GCL_ indexes exist only there.
template <class T>
bool as_dword(T value, DWORD& out) {
  if (sizeof(T) > sizeof(DWORD)) return false;
  out = static_cast<DWORD>(to_long(value));
  return true;
}

// The class value an index names; false for an unknown index.
bool class_value(const WindowClass& c, int index, DWORD& out) {
  switch (index) {
    case GCL_STYLE: out = c.style; return true;
    case GCL_WNDPROC: return as_dword(c.proc, out);
    case GCL_HBRBACKGROUND: return as_dword(c.background, out);
    case GCL_HCURSOR: return as_dword(c.cursor, out);
    case GCL_HICON: return as_dword(c.icon, out);
    case GCL_HMODULE: return as_dword(c.instance, out);
    default: return false;
  }
}

void set_class_value(WindowClass& c, int index, LONG value) {
  switch (index) {
    case GCL_STYLE: c.style = static_cast<UINT>(value); break;
    case GCL_WNDPROC: c.proc = from_long<WNDPROC>(value); break;
    case GCL_HBRBACKGROUND: c.background = from_long<HBRUSH>(value); break;
    case GCL_HCURSOR: c.cursor = from_long<HCURSOR>(value); break;
    case GCL_HICON: c.icon = from_long<HICON>(value); break;
    case GCL_HMODULE: c.instance = from_long<HINSTANCE>(value); break;
  }
}

}  // namespace

WindowClass* find_class(std::u16string_view name, HINSTANCE instance) {
  if (WindowClass* local = find_registered(name, instance, false)) return local;
  return find_registered(name, nullptr, true);
}

}  // namespace winlayer

using winlayer::WindowClass;

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* lpwcx) {
  if (lpwcx == nullptr || lpwcx->cbSize != sizeof(WNDCLASSEXW) || lpwcx->lpfnWndProc == nullptr ||
      lpwcx->lpszClassName == nullptr || IS_INTRESOURCE(lpwcx->lpszClassName) || *lpwcx->lpszClassName == u'\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::u16string_view name = lpwcx->lpszClassName;
  const bool global = (lpwcx->style & CS_GLOBALCLASS) != 0;
  if (winlayer::find_registered(name, lpwcx->hInstance, false) != nullptr ||
      (global && winlayer::find_registered(name, nullptr, true) != nullptr)) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return 0;
  }
  // Class atoms and registered messages share one table, as on Windows.
  const UINT atom = winlayer::register_atom(name);
  if (atom == 0) return 0;
  winlayer::classes().push_back(WindowClass{std::u16string(name), lpwcx->style, lpwcx->lpfnWndProc, lpwcx->hInstance,
                                            lpwcx->hIcon, lpwcx->hCursor, lpwcx->hbrBackground,
                                            static_cast<ATOM>(atom)});
  return static_cast<ATOM>(atom);
}

DWORD WINAPI GetClassLongW(HWND hWnd, int nIndex) {
  winlayer::Window* window = winlayer::window_or_error(hWnd);
  if (window == nullptr) return 0;
  DWORD value = 0;
  if (!winlayer::class_value(*window->window_class, nIndex, value)) {
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
  }
  SetLastError(ERROR_SUCCESS);
  return value;
}

DWORD WINAPI SetClassLongW(HWND hWnd, int nIndex, LONG dwNewLong) {
  const DWORD previous = GetClassLongW(hWnd, nIndex);
  if (GetLastError() != ERROR_SUCCESS) return 0;
  winlayer::set_class_value(*winlayer::find_window(hWnd)->window_class, nIndex, dwNewLong);
  return previous;
}

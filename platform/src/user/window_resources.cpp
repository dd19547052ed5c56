// Icons, cursors and stock objects. Icon groups are those that the program's
// resource script declares (winlayer_add_resources in platform/resources.cmake
// registers them at start-up); images are not loaded, as nothing is drawn.
#include <deque>
#include <string>

#include "text.h"
#include "window_manager.h"
#include "winlayer/kernel.h"

namespace winlayer {
namespace {

// A resource name as the start-up code registers it: "#<number>" for a
// number, else the name itself.
std::u16string resource_key(LPCWSTR name) {
  if (IS_INTRESOURCE(name)) return utf8_to_utf16("#" + std::to_string(reinterpret_cast<ULONG_PTR>(name)));
  return name;
}

struct IconGroups {
  std::deque<std::u16string> keys;  // the handle of an icon is the address of its key
};

IconGroups& icon_groups() {
  static auto* instance = new IconGroups;
  return *instance;
}

// One object per system cursor or icon, found by its number.
HANDLE system_object(ULONG_PTR number) {
  static std::deque<ULONG_PTR> objects;
  for (auto& object : objects) {
    if (object == number) return &object;
  }
  objects.push_back(number);
  return &objects.back();
}

bool is_system_cursor(LPCWSTR name) {
  for (LPCWSTR cursor : {IDC_ARROW, IDC_IBEAM, IDC_WAIT, IDC_HAND}) {
    if (name == cursor) return true;
  }
  return false;
}

}  // namespace
}  // namespace winlayer

// Called by the start-up code that winlayer_add_resources generates: one icon
// group of the program's resource script, as "#<number>" or its name in UTF-8.
extern "C" void winlayer_register_icon_group(const char* key) {
  winlayer::icon_groups().keys.push_back(winlayer::utf8_to_utf16(key));
}

HICON WINAPI LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName) {
  if (hInstance == nullptr && lpIconName == IDI_APPLICATION) {
    return static_cast<HICON>(winlayer::system_object(reinterpret_cast<ULONG_PTR>(lpIconName)));
  }
  auto& keys = winlayer::icon_groups().keys;
  if (hInstance != GetModuleHandleW(nullptr) || keys.empty()) {
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
  }
  // Names compare without regard to case, as Windows folds them.
  const std::u16string wanted = winlayer::resource_key(lpIconName);
  for (auto& key : keys) {
    if (winlayer::equal_ignoring_case(key, wanted)) return reinterpret_cast<HICON>(&key);
  }
  SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
  return nullptr;
}

HCURSOR WINAPI LoadCursorW(HINSTANCE hInstance, LPCWSTR lpCursorName) {
  const ULONG_PTR number = reinterpret_cast<ULONG_PTR>(lpCursorName);
  if (hInstance != nullptr) {
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return nullptr;
  }
  if (!winlayer::is_system_cursor(lpCursorName)) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  return static_cast<HCURSOR>(winlayer::system_object(number));
}

HGDIOBJ WINAPI GetStockObject(int i) {
  static char stock_objects[NULL_BRUSH + 1];
  return i >= WHITE_BRUSH && i <= NULL_BRUSH ? &stock_objects[i] : nullptr;
}

// The handle registry and CloseHandle.
#include "handles.h"

#include <cstdint>
#include <map>
#include <mutex>

#include "winlayer/kernel.h"

namespace winlayer {
namespace {

// Values step by four from four, as Windows' do: far below any object's address,
// and never INVALID_HANDLE_VALUE or a pseudo handle.
constexpr std::uintptr_t kHandleStep = 4;

struct Registry {
  std::mutex mutex;
  std::uintptr_t last = 0;
  std::map<std::uintptr_t, std::shared_ptr<KernelObject>> objects;
};

Registry& registry() {
  static Registry* instance = new Registry;  // outlives static destructors that close handles
  return *instance;
}

}  // namespace

HANDLE register_handle(std::shared_ptr<KernelObject> object) {
  auto& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.last += kHandleStep;
  r.objects.emplace(r.last, std::move(object));
  return reinterpret_cast<HANDLE>(r.last);
}

std::shared_ptr<KernelObject> lookup_handle(HANDLE handle) {
  auto& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  const auto it = r.objects.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == r.objects.end() ? nullptr : it->second;
}

}  // namespace winlayer

BOOL WINAPI CloseHandle(HANDLE hObject) {
  std::shared_ptr<winlayer::KernelObject> closing;  // released after the lock, by the last user
  {
    auto& r = winlayer::registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    const auto it = r.objects.find(reinterpret_cast<std::uintptr_t>(hObject));
    if (it == r.objects.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    closing = std::move(it->second);
    r.objects.erase(it);
  }
  return TRUE;
}

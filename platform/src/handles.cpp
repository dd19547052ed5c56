// The handle registry and CloseHandle.
#include "handles.h"

#include <map>
#include <mutex>

#include "winlayer/kernel.h"

namespace winlayer {
namespace {

struct Registry {
  std::mutex mutex;
  std::map<HANDLE, std::unique_ptr<KernelObject>> objects;
};

Registry& registry() {
  static Registry* instance = new Registry;  // outlives static destructors that close handles
  return *instance;
}

}  // namespace

HANDLE register_handle(std::unique_ptr<KernelObject> object) {
  auto& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  HANDLE handle = object.get();
  r.objects.emplace(handle, std::move(object));
  return handle;
}

KernelObject* lookup_handle(HANDLE handle) {
  auto& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  const auto it = r.objects.find(handle);
  return it == r.objects.end() ? nullptr : it->second.get();
}

}  // namespace winlayer

BOOL WINAPI CloseHandle(HANDLE hObject) {
  std::unique_ptr<winlayer::KernelObject> closing;
  {
    auto& r = winlayer::registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    const auto it = r.objects.find(hObject);
    if (it == r.objects.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    closing = std::move(it->second);
    r.objects.erase(it);
  }
  return TRUE;  // the object's destructor releases what it holds
}

// Kernel objects behind HANDLE values: each handle owns one object, and the
// registry tells a live handle from a stale or foreign one.
#ifndef WINLAYER_HANDLES_H
#define WINLAYER_HANDLES_H

#include <memory>

#include "winlayer/types.h"

namespace winlayer {

class KernelObject {
 public:
  virtual ~KernelObject() = default;
};

// Registers the object and returns its handle; the registry owns it until
// CloseHandle.
HANDLE register_handle(std::unique_ptr<KernelObject> object);

// The live object of a handle, of the wanted kind, or null.
KernelObject* lookup_handle(HANDLE handle);
template <class T>
T* lookup_handle_as(HANDLE handle) {
  return dynamic_cast<T*>(lookup_handle(handle));
}

}  // namespace winlayer

#endif

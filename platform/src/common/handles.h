// Kernel objects behind HANDLE values. A handle value is a number of the
// registry's own, never an object's address and never given out twice, so that
// a stale copy of a closed handle reaches nothing; a lookup shares ownership of
// the object, so that another thread's CloseHandle cannot free it while it is
// in use.
#ifndef WINLAYER_HANDLES_H
#define WINLAYER_HANDLES_H

#include <memory>

#include "winlayer/types.h"

namespace winlayer {

class KernelObject {
 public:
  virtual ~KernelObject() = default;
};

// Registers the object and returns its new handle; the registry holds it until
// CloseHandle.
HANDLE register_handle(std::shared_ptr<KernelObject> object);

// The live object of a handle, of the wanted kind, or null.
std::shared_ptr<KernelObject> lookup_handle(HANDLE handle);
template <class T>
std::shared_ptr<T> lookup_handle_as(HANDLE handle) {
  return std::dynamic_pointer_cast<T>(lookup_handle(handle));
}

}  // namespace winlayer

#endif

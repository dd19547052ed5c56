// OLE's start, counted per thread as each thread has its own apartment.
#include "winlayer/ole.h"

namespace {
thread_local unsigned open_initializations = 0;
}  // namespace

HRESULT WINAPI OleInitialize(LPVOID pvReserved) {
  if (pvReserved != nullptr) return E_INVALIDARG;
  return open_initializations++ == 0 ? S_OK : S_FALSE;
}

void WINAPI OleUninitialize() {
  if (open_initializations > 0) --open_initializations;
}

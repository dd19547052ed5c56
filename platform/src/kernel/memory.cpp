// Local memory blocks.
#include <cstdlib>
#include <cstring>

#include "winlayer/kernel.h"

HLOCAL WINAPI LocalAlloc(UINT uFlags, std::size_t uBytes) {
  void* block = std::malloc(uBytes == 0 ? 1 : uBytes);
  if (block == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (uFlags & LMEM_ZEROINIT) std::memset(block, 0, uBytes);
  return block;
}

HLOCAL WINAPI LocalFree(HLOCAL hMem) {
  std::free(hMem);
  return nullptr;
}

#include "refusable_allocation.h"

#include <cstdlib>
#include <new>

namespace {
int allocations_before_refusal = -1;
}

void refuse_allocation_after(int allowed) { allocations_before_refusal = allowed; }

void* operator new(std::size_t size) {
  if (allocations_before_refusal == 0) {
    allocations_before_refusal = -1;
    throw std::bad_alloc();
  }
  if (allocations_before_refusal > 0) --allocations_before_refusal;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

void* operator new[](std::size_t size) { return ::operator new(size); }

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return ::operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return ::operator new(size, std::nothrow);
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

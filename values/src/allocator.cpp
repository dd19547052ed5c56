#include "values/allocator.h"

#include <limits>

namespace ombrix {
namespace version_1 {

namespace {

void* default_allocate(std::uint32_t bytes) { return ::operator new(bytes, std::nothrow); }

void default_deallocate(void* block) { ::operator delete(block, std::nothrow); }

}  // namespace

const allocator_routines_t default_allocator_routines = {default_allocate, default_deallocate};

const char* bad_allocation::what() const noexcept { return "bad allocation"; }

void* capture_allocator::allocate(std::size_t bytes) const {
  if (bytes > std::numeric_limits<std::uint32_t>::max()) throw bad_allocation();
  void* block = routines_m->allocate(static_cast<std::uint32_t>(bytes));
  if (block == nullptr) throw bad_allocation();
  return block;
}

}  // namespace version_1
}  // namespace ombrix

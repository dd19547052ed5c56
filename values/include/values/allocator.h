// Allocator routine tables. Every storage block names the table that
// allocated it and goes back through that table's deallocate, so blocks made
// by another library (with its own table) are freed by that library.
#ifndef OMBRIX_VALUES_ALLOCATOR_H
#define OMBRIX_VALUES_ALLOCATOR_H

#include <cstddef>
#include <cstdint>
#include <new>

namespace ombrix {
namespace version_1 {

struct allocator_routines_t {
  void* (*allocate)(std::uint32_t bytes);  // null when it cannot
  void (*deallocate)(void* block);         // takes what allocate gave
};

// {default_allocate, default_deallocate}: the global nothrow allocation and release.
extern const allocator_routines_t default_allocator_routines;

// What capture_allocator::allocate throws when the routines give null.
class bad_allocation : public std::bad_alloc {
 public:
  const char* what() const noexcept override;  // "bad allocation"
};

class capture_allocator {
 public:
  capture_allocator() noexcept : routines_m(&default_allocator_routines) {}
  explicit capture_allocator(const allocator_routines_t* routines) noexcept
      : routines_m(routines) {}

  // Asks the routines for the bytes; throws bad_allocation when they give
  // null or when the count does not fit the routines' 32-bit byte count.
  void* allocate(std::size_t bytes) const;

  const allocator_routines_t* routines() const noexcept { return routines_m; }
  bool is_default() const noexcept { return routines_m == &default_allocator_routines; }

  friend bool operator==(capture_allocator a, capture_allocator b) noexcept {
    return a.routines_m == b.routines_m;
  }
  friend bool operator!=(capture_allocator a, capture_allocator b) noexcept {
    return a.routines_m != b.routines_m;
  }

 private:
  const allocator_routines_t* routines_m;
};

}  // namespace version_1

using version_1::allocator_routines_t;
using version_1::capture_allocator;
using version_1::default_allocator_routines;

}  // namespace ombrix

#endif

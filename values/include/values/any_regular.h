// any_regular_t: a type-erased value of 16 bytes that holds its value in
// place at byte 8 and points at byte 0 to the routine table (value_model_t)
// of the side that made it. Values made by another library are destroyed,
// copied and compared here through that library's own tables.
#ifndef OMBRIX_VALUES_ANY_REGULAR_H
#define OMBRIX_VALUES_ANY_REGULAR_H

#include <cstddef>
#include <cstdint>
#include <new>

#include "values/string.h"
#include "values/type_descriptor.h"

namespace ombrix {
namespace version_1 {

class any_regular_t;

// The routine table of one held type. The routines take whole values and
// read or write their storage. Only clone, move and type may be called on a
// value of unknown type; the others require both values to hold this type.
struct value_model_t {
  std::uintptr_t version;  // 1
  // Ends the held value; x is raw storage afterwards.
  void (*destroy)(any_regular_t* x);
  // The held type's descriptor; does not look at x.
  type_handle_t (*type)(const any_regular_t* x);
  // dst is raw storage; copies src's value first, then writes this table and
  // the copy into dst and gives dst. A null dst gives null; a failed copy
  // leaves dst untouched.
  any_regular_t* (*clone)(const any_regular_t* src, any_regular_t* dst);
  // As clone, taking src's value over; src stays a live value to destroy.
  any_regular_t* (*move)(any_regular_t* src, any_regular_t* dst);
  // dst's value becomes a copy of src's; dst's model is not touched.
  void (*assign)(any_regular_t* dst, const any_regular_t* src);
  bool (*equals)(const any_regular_t* a, const any_regular_t* b);
  void (*exchange)(any_regular_t* a, any_regular_t* b);
};

static_assert(sizeof(void (*)()) == sizeof(void*), "routines are pointer-sized");
static_assert(sizeof(value_model_t) == 8 * sizeof(void*), "eight pointer-sized words");
static_assert(sizeof(value_model_t) == (sizeof(void*) == 4 ? 32 : 64), "32 or 64 bytes");
static_assert(offsetof(value_model_t, destroy) == 1 * sizeof(void*), "slot 1");
static_assert(offsetof(value_model_t, type) == 2 * sizeof(void*), "slot 2");
static_assert(offsetof(value_model_t, clone) == 3 * sizeof(void*), "slot 3");
static_assert(offsetof(value_model_t, move) == 4 * sizeof(void*), "slot 4");
static_assert(offsetof(value_model_t, assign) == 5 * sizeof(void*), "slot 5");
static_assert(offsetof(value_model_t, equals) == 6 * sizeof(void*), "slot 6");
static_assert(offsetof(value_model_t, exchange) == 7 * sizeof(void*), "slot 7");

// The descriptors of this library's held types: "string_t:version_1:ombrix",
// "bool" and "double", all without a type identity.
template <typename T>
type_handle_t type_of() noexcept;
template <>
type_handle_t type_of<string_t>() noexcept;
template <>
type_handle_t type_of<bool>() noexcept;
template <>
type_handle_t type_of<double>() noexcept;

class alignas(8) any_regular_t {
 public:
  // Takes the string's block over; no characters are copied.
  explicit any_regular_t(string_t x) noexcept;
  explicit any_regular_t(bool x) noexcept;
  explicit any_regular_t(double x) noexcept;
  any_regular_t(const char*) = delete;  // would silently hold a bool

  // Through the clone routine of the value copied.
  any_regular_t(const any_regular_t& x) { x.model_m->clone(&x, this); }
  // Through the move routine of the value moved; x stays live.
  any_regular_t(any_regular_t&& x) noexcept { x.model_m->move(&x, this); }
  ~any_regular_t() { model_m->destroy(this); }

  // Moves x into a temporary, ends this value, then moves the temporary in:
  // this value takes on x's table whatever it held before.
  any_regular_t& operator=(any_regular_t&& x) noexcept;

  type_handle_t type() const noexcept { return model_m->type(this); }

  // The held value when its type is the same type as T's descriptor here;
  // otherwise throws bad_cast(held type, T) and changes nothing.
  template <typename T>
  T& cast() {
    require_type(type_of<T>());
    return *std::launder(static_cast<T*>(storage()));
  }
  template <typename T>
  const T& cast() const {
    require_type(type_of<T>());
    return *std::launder(static_cast<const T*>(storage()));
  }

  // Same type and equal by the model's equals.
  friend bool operator==(const any_regular_t& a, const any_regular_t& b) noexcept;
  friend bool operator!=(const any_regular_t& a, const any_regular_t& b) noexcept {
    return !(a == b);
  }

  // For writers of value models: the model field and the raw storage at byte 8.
  const value_model_t* model() const noexcept { return model_m; }
  void set_model(const value_model_t* model) noexcept { model_m = model; }
  void* storage() noexcept { return storage_m; }
  const void* storage() const noexcept { return storage_m; }

 private:
  void require_type(type_handle_t to) const;

  const value_model_t* model_m;
  alignas(8) unsigned char storage_m[8];
};

static_assert(sizeof(any_regular_t) == 16, "16 bytes on every width");
static_assert(alignof(any_regular_t) == 8, "aligned to 8");

}  // namespace version_1

using version_1::any_regular_t;
using version_1::type_of;
using version_1::value_model_t;

}  // namespace ombrix

#endif

#include "values/any_regular.h"

#include <utility>

namespace ombrix {
namespace version_1 {

namespace {

template <typename T>
T& held(any_regular_t* x) {
  return *std::launder(static_cast<T*>(x->storage()));
}

template <typename T>
const T& held(const any_regular_t* x) {
  return *std::launder(static_cast<const T*>(x->storage()));
}

void trivial_destroy(any_regular_t*) {}

// The routines and the table of one held type of this library.
template <typename T>
struct held_model {
  static const type_descriptor_t descriptor;
  static const value_model_t table;

  static void destroy(any_regular_t* x) { held<T>(x).~T(); }

  static type_handle_t type(const any_regular_t*) { return {&descriptor}; }

  static any_regular_t* clone(const any_regular_t* src, any_regular_t* dst) {
    if (dst == nullptr) return nullptr;
    T copy(held<T>(src));
    return place(dst, std::move(copy));
  }

  static any_regular_t* move(any_regular_t* src, any_regular_t* dst) {
    if (dst == nullptr) return nullptr;
    return place(dst, std::move(held<T>(src)));
  }

  static void assign(any_regular_t* dst, const any_regular_t* src) { held<T>(dst) = held<T>(src); }

  static bool equals(const any_regular_t* a, const any_regular_t* b) {
    return held<T>(a) == held<T>(b);
  }

  static void exchange(any_regular_t* a, any_regular_t* b) {
    using std::swap;
    swap(held<T>(a), held<T>(b));
  }

  static any_regular_t* place(any_regular_t* dst, T&& value) {
    dst->set_model(&table);
    ::new (dst->storage()) T(std::move(value));
    return dst;
  }
};

template <>
const type_descriptor_t held_model<string_t>::descriptor = {nullptr, "string_t:version_1:ombrix", {}};
template <>
const type_descriptor_t held_model<bool>::descriptor = {nullptr, "bool", {}};
template <>
const type_descriptor_t held_model<double>::descriptor = {nullptr, "double", {}};

using string_model = held_model<string_t>;
using bool_model = held_model<bool>;
using double_model = held_model<double>;

// A string moves by handing its block over; a bool or double moves by copying.
template <>
const value_model_t string_model::table = {
    1, string_model::destroy, string_model::type, string_model::clone, string_model::move,
    string_model::assign, string_model::equals, string_model::exchange};
template <>
const value_model_t bool_model::table = {
    1, trivial_destroy, bool_model::type, bool_model::clone, bool_model::move,
    bool_model::assign, bool_model::equals, bool_model::exchange};
template <>
const value_model_t double_model::table = {
    1, trivial_destroy, double_model::type, double_model::clone, double_model::move,
    double_model::assign, double_model::equals, double_model::exchange};

}  // namespace

template <>
type_handle_t type_of<string_t>() noexcept { return {&string_model::descriptor}; }
template <>
type_handle_t type_of<bool>() noexcept { return {&bool_model::descriptor}; }
template <>
type_handle_t type_of<double>() noexcept { return {&double_model::descriptor}; }

any_regular_t::any_regular_t(string_t x) noexcept {
  static_assert(offsetof(any_regular_t, model_m) == 0, "model at byte 0");
  static_assert(offsetof(any_regular_t, storage_m) == 8, "storage at byte 8");
  string_model::place(this, std::move(x));
}

any_regular_t::any_regular_t(bool x) noexcept { bool_model::place(this, std::move(x)); }

any_regular_t::any_regular_t(double x) noexcept { double_model::place(this, std::move(x)); }

any_regular_t& any_regular_t::operator=(any_regular_t&& x) noexcept {
  any_regular_t moved(std::move(x));
  model_m->destroy(this);
  moved.model_m->move(&moved, this);
  return *this;
}

void any_regular_t::require_type(type_handle_t to) const {
  const type_handle_t from = type();
  if (!same_type(*from.descriptor, *to.descriptor)) throw bad_cast(from, to);
}

bool operator==(const any_regular_t& a, const any_regular_t& b) noexcept {
  return same_type(*a.type().descriptor, *b.type().descriptor) && a.model()->equals(&a, &b);
}

}  // namespace version_1
}  // namespace ombrix

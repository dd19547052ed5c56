// Type descriptors: static records that name a type, read by either side of
// a library boundary. Descriptors without a run-time type identity compare
// by name and parameters, so two records of the same type are the same type.
#ifndef OMBRIX_VALUES_TYPE_DESCRIPTOR_H
#define OMBRIX_VALUES_TYPE_DESCRIPTOR_H

#include <cstddef>
#include <string>
#include <typeinfo>

namespace ombrix {

struct type_descriptor_t {
  const std::type_info* identity;  // null for the types that cross by name
  const char* name;                // NUL-terminated
  // Descriptors of the template parameters in order, ended by the first
  // null; at most five, so the last slot is always null.
  const type_descriptor_t* parameters[6];
};

static_assert(sizeof(type_descriptor_t) == 8 * sizeof(void*), "eight pointer-sized words");
static_assert(offsetof(type_descriptor_t, name) == sizeof(void*), "name in word 1");
static_assert(offsetof(type_descriptor_t, parameters) == 2 * sizeof(void*),
              "parameters from word 2");
static_assert(sizeof(type_descriptor_t) == (sizeof(void*) == 4 ? 32 : 64), "32 or 64 bytes");

// What a value model's type routine gives: one descriptor pointer, by value.
struct type_handle_t {
  const type_descriptor_t* descriptor;
};

bool same_type(const type_descriptor_t& a, const type_descriptor_t& b) noexcept;

// Appends the readable name: with an identity, the run-time library's
// demangled name of it ("int"), or its raw name when that cannot be
// demangled; otherwise the name text and the parameters as "name<p1,p2>".
void append_type_name(const type_descriptor_t& d, std::string& text);

// A cast to the wrong type. what() gives "bad_cast: <from> -> <to>".
class bad_cast : public std::bad_cast {
 public:
  bad_cast(type_handle_t from, type_handle_t to);
  bad_cast(const bad_cast&) = default;
  ~bad_cast() override;

  const char* what() const noexcept override;

 private:
  std::string message_m;
};

}  // namespace ombrix

#endif

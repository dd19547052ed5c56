// Names: immutable byte texts held by one pointer. A name is either interned
// in the process-wide name table (equal texts give one pointer) or taken from
// a static literal unchanged.
#ifndef OMBRIX_VALUES_NAME_H
#define OMBRIX_VALUES_NAME_H

#include "values/assert.h"

namespace ombrix {

// The library's single empty text: the empty name and every empty string_t
// give this address.
extern const char empty_text[1];

// Orders NUL-terminated texts by their bytes read as signed 8-bit values:
// 0 when equal, else the difference of the first two bytes that differ.
// So 0x80..0xFF sort before NUL, and NUL before 0x01..0x7F.
inline int compare_strings(const char* a, const char* b) noexcept {
  while (*a != '\0' && *a == *b) {
    ++a;
    ++b;
  }
  return static_cast<signed char>(*a) - static_cast<signed char>(*b);
}

class name_t {
 public:
  // The empty name.
  name_t() noexcept : text_m(empty_text) {}

  // Interns the text. A null or empty text gives the empty name without
  // touching the table; otherwise the table is made on first use.
  // Throws std::bad_alloc when memory runs out.
  explicit name_t(const char* text);

  const char* c_str() const noexcept { return text_m; }
  bool empty() const noexcept { return *text_m == '\0'; }

  // Identity of the held pointer. Interned names of equal texts are equal;
  // a literal name equals an interned one only by text (compare c_str()).
  friend bool operator==(name_t a, name_t b) noexcept { return a.text_m == b.text_m; }
  friend bool operator!=(name_t a, name_t b) noexcept { return a.text_m != b.text_m; }

  friend name_t make_literal_name(const char* literal) noexcept;

 private:
  struct literal_tag {};
  name_t(const char* literal, literal_tag) noexcept : text_m(literal) {}

  const char* text_m;  // never null
};

static_assert(sizeof(name_t) == sizeof(const char*), "a name is one pointer");

// A name holding the literal's own address: nothing is copied or pooled.
inline name_t make_literal_name(const char* literal) noexcept {
  OMBRIX_ASSERT_MSG(literal != nullptr, "Null string_name in name_t");
  return name_t(literal, name_t::literal_tag{});
}

}  // namespace ombrix

#endif

// Conversion of UTF-16 code units to UTF-8 bytes, one code point at a time.
#ifndef OMBRIX_VALUES_UNICODE_H
#define OMBRIX_VALUES_UNICODE_H

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <stdexcept>
#include <utility>

#include "values/string.h"

namespace ombrix {

constexpr std::uint32_t utf16_high_surrogate_front_k = 0xD800;
constexpr std::uint32_t utf16_high_surrogate_back_k = 0xDBFF;
constexpr std::uint32_t utf16_low_surrogate_front_k = 0xDC00;
constexpr std::uint32_t utf16_low_surrogate_back_k = 0xDFFF;

namespace unicode_detail {

// Units are read as 16 bits whatever the element type (char16_t, wchar_t, short).
template <typename I>
std::uint32_t unit_at(I position) {
  return static_cast<std::uint16_t>(*position);
}

inline bool is_high_surrogate(std::uint32_t u) {
  return u >= utf16_high_surrogate_front_k && u <= utf16_high_surrogate_back_k;
}

inline bool is_low_surrogate(std::uint32_t u) {
  return u >= utf16_low_surrogate_front_k && u <= utf16_low_surrogate_back_k;
}

[[noreturn]] inline void throw_high_without_low() {
  throw std::runtime_error("unicode: utf16 high surrogate found without low surrogate");
}

[[noreturn]] inline void throw_low_without_high() {
  throw std::runtime_error("unicode: utf16 low surrogate found without high surrogate");
}

// The first code point below each bound takes one more byte; a code point at
// or above the last bound takes six.
constexpr std::uint32_t utf8_bounds[] = {0x80, 0x800, 0x10000, 0x200000, 0x4000000};
constexpr unsigned char utf8_first_byte_marks[] = {0x00, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC};

}  // namespace unicode_detail

// Reads the code point that starts at first (first != last) and gives it with
// the position after its last unit. Throws std::runtime_error for a low
// surrogate that does not follow a high one, and for a high surrogate that is
// the last unit or is followed by a unit that is not a low surrogate.
template <typename I>
std::pair<std::uint32_t, I> decode_utf16(I first, I last) {
  using namespace unicode_detail;
  const std::uint32_t u = unit_at(first);
  ++first;
  if (is_high_surrogate(u)) {
    if (first == last || !is_low_surrogate(unit_at(first))) throw_high_without_low();
    const std::uint32_t low = unit_at(first);
    ++first;
    return {((u - 0xD7F7) << 10) + low, first};
  }
  if (is_low_surrogate(u)) throw_low_without_high();
  return {u, first};
}

// Writes the code point in 1 to 6 bytes, unchecked (surrogate values too),
// and gives the output position after the last byte.
template <typename O>
O encode_utf8(std::uint32_t code_point, O out) {
  using namespace unicode_detail;
  std::size_t continuation = 0;
  while (continuation < std::size(utf8_bounds) && code_point >= utf8_bounds[continuation]) {
    ++continuation;
  }
  const auto first_byte = static_cast<unsigned char>(utf8_first_byte_marks[continuation] |
                                                     (code_point >> (6 * continuation)));
  *out = static_cast<char>(first_byte);
  ++out;
  while (continuation-- > 0) {
    *out = static_cast<char>(0x80 | ((code_point >> (6 * continuation)) & 0x3F));
    ++out;
  }
  return out;
}

// Appends the UTF-8 form of the whole range. On malformed input the bytes of
// the code points before the fault stay written.
template <typename I, typename O>
O utf16_to_utf8(I first, I last, O out) {
  while (first != last) {
    const auto decoded = decode_utf16(first, last);
    first = decoded.second;
    out = encode_utf8(decoded.first, out);
  }
  return out;
}

namespace unicode_detail {

// The string a back-inserting position appends to (its protected member,
// reached through a pointer to it named from a derived class).
inline string_t& appended_string(std::back_insert_iterator<string_t>& out) {
  struct access : std::back_insert_iterator<string_t> {
    static string_t* std::back_insert_iterator<string_t>::*container_member() {
      return &access::container;
    }
  };
  return *(out.*access::container_member());
}

// Bytes written into a string's room, taken as appended when it goes, also
// when a malformed unit ends the conversion.
struct room_writer {
  explicit room_writer(string_t& s) : text(s), room(s.append_room()), next(room.next) {}
  room_writer(const room_writer&) = delete;
  room_writer& operator=(const room_writer&) = delete;
  ~room_writer() { text.append_done(next); }

  string_t& text;
  const string_t::byte_room_t room;
  char* next;
};

// Converts into the string's room (grown first as push_back would when it
// has none) until the range or the room ends, and gives the position after
// the last unit read. A code point whose bytes do not all fit writes those
// that do and pushes the rest back one at a time, so that the string grows
// at the same byte as with push_back alone.
template <typename I>
I utf16_to_utf8_in_room(I first, I last, string_t& out) {
  char pending[4];
  char* pending_first = pending;
  char* pending_last = pending;
  {
    room_writer w(out);
    while (first != last && w.next != w.room.end) {
      const std::uint32_t u = unit_at(first);
      if (u < 0x80) {
        *w.next++ = static_cast<char>(u);
        ++first;
        continue;
      }
      const auto decoded = decode_utf16(first, last);
      first = decoded.second;
      if (w.room.end - w.next >= 4) {
        w.next = encode_utf8(decoded.first, w.next);
        continue;
      }
      pending_first = pending;
      pending_last = encode_utf8(decoded.first, pending);
      while (pending_first != pending_last && w.next != w.room.end) *w.next++ = *pending_first++;
    }
  }
  for (; pending_first != pending_last; ++pending_first) out.push_back(*pending_first);
  return first;
}

}  // namespace unicode_detail

// Into a string_t: the same bytes, growth and faults as the byte-by-byte
// form, written straight into the string's storage. Running out of memory
// gives the string back as it was before the call, its NUL included.
template <typename I>
std::back_insert_iterator<string_t> utf16_to_utf8(I first, I last,
                                                  std::back_insert_iterator<string_t> out) {
  string_t& text = unicode_detail::appended_string(out);
  const std::size_t kept = text.size();
  try {
    while (first != last) first = unicode_detail::utf16_to_utf8_in_room(first, last, text);
  } catch (const std::bad_alloc&) {
    text.cut(kept);
    throw;
  }
  return out;
}

}  // namespace ombrix

#endif

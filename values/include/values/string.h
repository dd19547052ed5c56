// string_t: a byte string (UTF-8 by convention) kept in a vector of char. A
// non-empty string holds its bytes and one NUL; an empty one holds nothing.
#ifndef OMBRIX_VALUES_STRING_H
#define OMBRIX_VALUES_STRING_H

#include <cstddef>
#include <string>

#include "values/allocator.h"
#include "values/vector.h"

namespace ombrix {
namespace version_1 {

class string_t {
 public:
  using value_type = char;

  string_t() noexcept = default;
  // An empty string whose storage keeps the routines of a (see vector).
  explicit string_t(const capture_allocator& a) : storage_m(a) {}
  // The bytes before the NUL; s must not be null.
  explicit string_t(const char* s);
  // The bytes first..last with the default routines and capacity exactly
  // length + 1; an empty range gives a string without a block.
  string_t(const char* first, const char* last);

  // The copy keeps the routines of the string copied.
  string_t(const string_t&) = default;
  // The moved-from string has no block.
  string_t(string_t&&) noexcept = default;
  // Swaps blocks with a temporary, which frees the former block through its
  // own routines before returning.
  string_t& operator=(string_t x) noexcept;

  // empty_text when the string holds nothing.
  const char* c_str() const noexcept;
  // The bytes before the NUL.
  std::size_t size() const noexcept { return storage_m.empty() ? 0 : storage_m.size() - 1; }
  bool empty() const noexcept { return storage_m.empty(); }
  // Of the storage, the NUL's place included.
  std::size_t capacity() const noexcept { return storage_m.capacity(); }
  void reserve(std::size_t n) { storage_m.reserve(n); }
  capture_allocator get_allocator() const noexcept { return storage_m.get_allocator(); }

  // Appends the byte and keeps the NUL last. Grows as the storage's own
  // push_back would for the byte and then the NUL: an empty string to 1 and
  // then 2, a full one to twice its storage's size. A failed growth leaves
  // the string as it was, bytes and NUL.
  void push_back(char c) {
    const byte_room_t room = append_room();
    append_done(room.next + 1);
    *room.next = c;
  }

  // Writing bytes straight into the storage, as push_back appends them:
  // append_room gives where the next byte goes and the end of the bytes that
  // fit before push_back would grow; when none fit, it first grows as
  // push_back would, so that at least one does. append_done then takes the
  // bytes up to end as appended and puts the NUL after them.
  struct byte_room_t {
    char* next;
    char* end;
  };
  byte_room_t append_room() {
    char* const finish = storage_m.end();
    char* const storage_end = storage_m.begin() + storage_m.capacity();
    if (finish == storage_m.begin() || finish == storage_end) return append_room_growing();
    return {finish - 1, storage_end - 1};  // from the NUL's place, keeping the last slot for it
  }
  void append_done(char* end) noexcept {
    storage_m.set_finish(end + 1);
    *end = '\0';
  }

  // Keeps the first n bytes (n at most size()) and the NUL after them; 0
  // leaves the storage holding nothing. Never allocates.
  void cut(std::size_t n) noexcept;
  std::string to_std_string() const { return std::string(c_str(), size()); }
  void swap(string_t& x) noexcept { storage_m.swap(x.storage_m); }
  friend void swap(string_t& a, string_t& b) noexcept { a.swap(b); }

  // The same byte count and the same bytes, NUL included.
  friend bool operator==(const string_t& a, const string_t& b) noexcept;
  friend bool operator!=(const string_t& a, const string_t& b) noexcept { return !(a == b); }

 private:
  // append_room for empty or full storage.
  byte_room_t append_room_growing();

  vector<char> storage_m;
};

static_assert(sizeof(string_t) == sizeof(void*), "a string is one pointer");

}  // namespace version_1

using version_1::string_t;

}  // namespace ombrix

#endif

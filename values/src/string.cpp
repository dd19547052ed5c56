#include "values/string.h"

#include <cstring>

#include "values/name.h"

namespace ombrix {
namespace version_1 {

string_t::string_t(const char* s) : string_t(s, s + std::strlen(s)) {}

string_t::string_t(const char* first, const char* last) {
  if (first == last) return;
  storage_m.reserve(static_cast<std::size_t>(last - first) + 1);
  storage_m.insert(storage_m.end(), first, last);
  storage_m.push_back('\0');
}

string_t& string_t::operator=(string_t x) noexcept {
  string_t former(std::move(x));
  swap(former);
  return *this;
}

const char* string_t::c_str() const noexcept {
  return storage_m.empty() ? empty_text : &storage_m[0];
}

// Grows as taking the NUL off, pushing the byte and pushing the NUL again
// would, before anything changes: an empty vector to 1 for the byte and to 2
// for the NUL; a full one to twice its size for the NUL.
string_t::byte_room_t string_t::append_room_growing() {
  const std::size_t size = storage_m.size();
  if (size == 0) {
    storage_m.reserve(1);
    storage_m.reserve(2);
  } else if (size == storage_m.capacity()) {
    storage_m.reserve(2 * size);
  }
  char* const next = storage_m.begin() + (size == 0 ? 0 : size - 1);
  return {next, storage_m.begin() + storage_m.capacity() - 1};
}

void string_t::cut(std::size_t n) noexcept {
  storage_m.erase(storage_m.begin() + (n == 0 ? 0 : n + 1), storage_m.end());
  if (n != 0) storage_m[n] = '\0';
}

bool operator==(const string_t& a, const string_t& b) noexcept {
  return a.storage_m.size() == b.storage_m.size() &&
         std::equal(a.storage_m.begin(), a.storage_m.end(), b.storage_m.begin());
}

}  // namespace version_1
}  // namespace ombrix

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

void string_t::push_back(char c) {
  if (!storage_m.empty()) storage_m.pop_back();
  storage_m.push_back(c);
  storage_m.push_back('\0');
}

bool operator==(const string_t& a, const string_t& b) noexcept {
  return a.storage_m.size() == b.storage_m.size() &&
         std::equal(a.storage_m.begin(), a.storage_m.end(), b.storage_m.begin());
}

}  // namespace version_1
}  // namespace ombrix

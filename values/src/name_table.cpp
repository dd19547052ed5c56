#include "values/name_table.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace ombrix {

namespace {
name_table_t* the_table = nullptr;
}

const char* string_pool_t::add(const char* text) {
  const std::size_t length = std::strlen(text);
  char* copy = allocate(length);
  std::memcpy(copy, text, length);
  return copy;
}

char* string_pool_t::allocate(std::size_t length) {
  const std::size_t need = length + 1;
  if (need > static_cast<std::size_t>(end_m - position_m)) {
    start_block(std::max(block_size_m, need));
  }
  char* result = position_m;
  result[length] = '\0';
  position_m += need;
  return result;
}

void string_pool_t::start_block(std::size_t size) {
  char* block = static_cast<char*>(::operator new(size));
  try {
    blocks_m.push_back(block);
  } catch (...) {
    ::operator delete(block);
    throw;
  }
  position_m = block;
  end_m = block + size;
}

void string_pool_t::release_blocks() noexcept {
  for (char* block : blocks_m) ::operator delete(block);
  blocks_m.clear();
  position_m = nullptr;
  end_m = nullptr;
}

const char* name_table_t::intern(const char* text) {
  if (text == nullptr || *text == '\0') return empty_text;
  const auto found = texts_m.lower_bound(text);
  if (found != texts_m.end() && compare_strings(*found, text) == 0) return *found;
  const char* copy = pool_m.add(text);
  texts_m.insert(found, copy);
  return copy;
}

void create_name_table() { the_table = new name_table_t; }

// The pool goes first (its blocks, then its list), then the set, then the table.
void destroy_name_table() {
  delete the_table;
  the_table = nullptr;
}

name_table_t* name_table() noexcept { return the_table; }

}  // namespace ombrix

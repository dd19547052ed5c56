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

// Each head word holds eight bytes from the most significant down, each
// with its sign bit flipped: then unsigned order is the signed bytes' order,
// NUL (and the zeros after it) between 0x80..0xFF and 0x01..0x7F.
name_table_t::entry_t::entry_t(const char* text) noexcept : text(text) {
  const std::size_t length = std::strlen(text);
  unsigned char bytes[head_bytes] = {};
  std::memcpy(bytes, text, std::min(length, head_bytes));
  for (std::size_t w = 0; w < head_words; ++w) {
    std::uint64_t word = 0;
    for (std::size_t i = 0; i < 8; ++i) word = (word << 8) | bytes[8 * w + i];
    head[w] = word ^ 0x8080808080808080u;
  }
}

const char* name_table_t::intern(const char* text) {
  if (text == nullptr || *text == '\0') return empty_text;
  const entry_t probe(text);
  const auto found = texts_m.lower_bound(probe);
  if (found != texts_m.end() && !entry_less()(probe, *found)) return found->text;
  entry_t pooled = probe;
  pooled.text = pool_m.add(text);
  texts_m.insert(found, pooled);
  return pooled.text;
}

std::vector<const char*> name_table_t::texts() const {
  std::vector<const char*> result;
  result.reserve(texts_m.size());
  for (const entry_t& e : texts_m) result.push_back(e.text);
  return result;
}

void create_name_table() { the_table = new name_table_t; }

// The pool goes first (its blocks, then its list), then the set, then the table.
void destroy_name_table() {
  delete the_table;
  the_table = nullptr;
}

name_table_t* name_table() noexcept { return the_table; }

}  // namespace ombrix

// The process-wide name table behind name_t: an ordered set of pooled texts
// and the pool of 4096-byte blocks that holds them until the program exits.
#ifndef OMBRIX_VALUES_NAME_TABLE_H
#define OMBRIX_VALUES_NAME_TABLE_H

#include <cstddef>
#include <cstdint>
#include <list>
#include <set>
#include <vector>

#include "values/name.h"

namespace ombrix {

// Copies texts into heap blocks of at least block_size() bytes. Only the
// newest block is written; what is left in an older block is never used.
class string_pool_t {
 public:
  string_pool_t() = default;
  string_pool_t(const string_pool_t&) = delete;
  string_pool_t& operator=(const string_pool_t&) = delete;
  ~string_pool_t() { release_blocks(); }

  // Copies the NUL-terminated text with its NUL; gives the copy.
  const char* add(const char* text);
  // Reserves length + 1 bytes and writes the NUL at result + length.
  char* allocate(std::size_t length);
  // Frees every block; texts handed out before are gone.
  void release_blocks() noexcept;

  std::size_t block_size() const noexcept { return block_size_m; }
  const std::list<char*>& blocks() const noexcept { return blocks_m; }
  // The first free byte of the newest block, and the end of that block
  // (both null before the first block).
  const char* position() const noexcept { return position_m; }
  const char* end() const noexcept { return end_m; }

 private:
  void start_block(std::size_t size);

  std::size_t block_size_m = 4096;
  std::list<char*> blocks_m;
  char* position_m = nullptr;
  char* end_m = nullptr;
};

class name_table_t {
 public:
  // The pooled copy of the text, pooled now if it was absent. A null or
  // empty text gives empty_text and is never pooled.
  const char* intern(const char* text);

  std::size_t size() const noexcept { return texts_m.size(); }
  const string_pool_t& pool() const noexcept { return pool_m; }
  // The pooled texts in the set's order.
  std::vector<const char*> texts() const;

 private:
  // A pooled text with its first head_bytes bytes (zeros after its NUL) as
  // words that order as the bytes do, read as signed values, under unsigned
  // comparison: most comparisons read the set's node alone, a word at a time.
  struct entry_t {
    static constexpr std::size_t head_words = 3;
    static constexpr std::size_t head_bytes = head_words * 8;

    explicit entry_t(const char* text) noexcept;

    // The NUL lies within the head when the head's last byte is a zero.
    bool ends_in_head() const noexcept { return (head[head_words - 1] & 0xFF) == 0x80; }

    const char* text;
    std::uint64_t head[head_words];
  };

  // compare_strings(a.text, b.text) < 0.
  struct entry_less {
    bool operator()(const entry_t& a, const entry_t& b) const noexcept {
      for (std::size_t i = 0; i < entry_t::head_words; ++i) {
        if (a.head[i] != b.head[i]) return a.head[i] < b.head[i];
      }
      if (a.ends_in_head()) return false;  // equal texts
      return compare_strings(a.text + entry_t::head_bytes, b.text + entry_t::head_bytes) < 0;
    }
  };

  std::set<entry_t, entry_less> texts_m;
  string_pool_t pool_m;
};

// Makes the single table (empty) and stores it in the process-wide pointer.
void create_name_table();
// Exit handler: destroys and frees the single table if it was made.
void destroy_name_table();
// The single table, or null until it is made and after it is destroyed.
name_table_t* name_table() noexcept;

}  // namespace ombrix

#endif

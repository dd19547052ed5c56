// Allocator routines standing for another library's: each side counts the
// blocks it made and notices a block given back to it that it did not make.
#ifndef OMBRIX_TESTS_COUNTING_ROUTINES_H
#define OMBRIX_TESTS_COUNTING_ROUTINES_H

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "values/allocator.h"
#include "values/string.h"

template <int Side>
struct counting_routines {
  static inline std::set<void*> live;
  static inline std::vector<std::uint32_t> requests;
  static inline int strays = 0;  // blocks given back here that another side made
  static inline bool refuse = false;

  static void* allocate(std::uint32_t bytes) {
    if (refuse) return nullptr;
    requests.push_back(bytes);
    void* block = std::malloc(bytes);
    live.insert(block);
    return block;
  }

  static void deallocate(void* block) {
    if (live.erase(block) == 0) {
      ++strays;  // not ours: leave it alone rather than free it wrongly
      return;
    }
    std::free(block);
  }

  static inline const ombrix::allocator_routines_t table = {allocate, deallocate};

  static ombrix::capture_allocator allocator() { return ombrix::capture_allocator(&table); }

  static void reset() {
    live.clear();
    requests.clear();
    strays = 0;
    refuse = false;
  }
};

using side_a = counting_routines<0>;
using side_b = counting_routines<1>;

// Every test of this fixture ends with each side's blocks given back to it
// and no block given to the wrong side.
class CountedBlocks : public ::testing::Test {
 protected:
  void SetUp() override {
    side_a::reset();
    side_b::reset();
  }
  void TearDown() override {
    EXPECT_TRUE(side_a::live.empty()) << side_a::live.size() << " blocks of side A not given back";
    EXPECT_TRUE(side_b::live.empty()) << side_b::live.size() << " blocks of side B not given back";
    EXPECT_EQ(side_a::strays, 0) << "side A was given blocks it did not make";
    EXPECT_EQ(side_b::strays, 0) << "side B was given blocks it did not make";
  }
};

// A string of the text whose block comes from side S, with capacity exactly
// length + 1 (1 for the empty text, which then holds nothing).
template <typename S>
ombrix::string_t counted_string(const char* text) {
  ombrix::string_t s(S::allocator());
  s.reserve(std::strlen(text) + 1);
  for (const char* c = text; *c != '\0'; ++c) s.push_back(*c);
  return s;
}

// Bytes asked of allocate for a block of capacity n: the figures of the
// 32-bit layout (16-byte header), grown by the header's extra size where
// pointers are wider.
constexpr std::size_t header_growth = 4 * sizeof(void*) - 16;
constexpr std::size_t char_block_bytes(std::size_t n) { return n + 23 + header_growth; }
constexpr std::size_t value_block_bytes(std::size_t n) { return 16 + 16 * n + header_growth; }

#endif

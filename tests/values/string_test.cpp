#include <gtest/gtest.h>

#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "counting_routines.h"
#include "values/name.h"
#include "values/string.h"

namespace {

using ombrix::capture_allocator;
using ombrix::empty_text;
using ombrix::string_t;

using String = CountedBlocks;

TEST_F(String, EmptyStringsAreEqualAndGiveTheStaticEmptyText) {
  const char* const text = "abc";
  struct Case {
    const char* what;
    string_t s;
    std::size_t capacity;
  };
  const Case cases[] = {
      {"made by default", string_t(), 0},
      {"made from \"\"", string_t(""), 0},
      {"made from an empty range", string_t(text, text), 0},
      {"with an empty block from side A", counted_string<side_a>(""), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.s.size(), 0u);
    EXPECT_TRUE(c.s.empty());
    EXPECT_EQ(c.s.capacity(), c.capacity);
    EXPECT_EQ(c.s.c_str(), empty_text);
    EXPECT_EQ(c.s.to_std_string(), "");
    EXPECT_EQ(c.s, string_t());
  }
}

TEST(StringFromText, HoldsTheBytesAndOneNulInExactlyTheirRoom) {
  const string_t s("abc");
  EXPECT_EQ(s.size(), 3u);
  EXPECT_EQ(s.capacity(), 4u);
  EXPECT_STREQ(s.c_str(), "abc");
  EXPECT_EQ(s.to_std_string(), "abc");
  EXPECT_EQ(s.get_allocator(), capture_allocator());
  const char bytes[] = {'a', '\0', 'b'};
  const string_t with_nul(bytes, bytes + 3);
  EXPECT_EQ(with_nul.size(), 3u);
  EXPECT_EQ(with_nul.to_std_string(), std::string(bytes, 3));  // all but the closing NUL
}

TEST_F(String, CopyOfAbcKeepsTheRoutinesAndAsksForAFourByteBlock) {
  const string_t source = counted_string<side_a>("abc");
  const string_t copy(source);
  EXPECT_EQ(side_a::requests.back(), char_block_bytes(4));  // 27 bytes on 32-bit
  EXPECT_EQ(copy.capacity(), 4u);
  EXPECT_EQ(copy.get_allocator(), side_a::allocator());
  EXPECT_NE(copy.c_str(), source.c_str());
  EXPECT_EQ(copy, source);
  const string_t default_copy{string_t("abc")};
  EXPECT_EQ(default_copy.get_allocator(), capture_allocator());
}

TEST_F(String, CopyOfAnEmptyStringFromOtherRoutinesHasABlockOfCapacityOne) {
  const string_t source = counted_string<side_a>("");
  const string_t copy(source);
  EXPECT_EQ(copy.capacity(), 1u);
  EXPECT_EQ(copy.size(), 0u);
  EXPECT_EQ(copy.get_allocator(), side_a::allocator());
  EXPECT_EQ(side_a::live.size(), 2u);
}

TEST_F(String, PushBackKeepsTheNulLast) {
  struct Case {
    const char* what;
    string_t s;
    const char* expected;
  };
  Case cases[] = {
      {"onto an empty string", string_t(), "x"},
      {"onto \"ab\"", string_t("ab"), "abx"},
      {"onto a string from side A", counted_string<side_a>("ab"), "abx"},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    const capture_allocator routines = c.s.get_allocator();
    c.s.push_back('x');
    EXPECT_EQ(c.s.size(), std::strlen(c.expected));
    EXPECT_EQ(std::string(c.s.c_str(), c.s.size() + 1), std::string(c.expected) + '\0');
    EXPECT_EQ(c.s.get_allocator(), routines);
  }
}

// Taking the NUL off, pushing the byte and pushing the NUL again: an empty
// vector grows to 1 and then 2, a full one to twice its size.
TEST_F(String, PushBackGrowsAsTheByteAndThenTheNulWerePushed) {
  struct Case {
    const char* what;
    string_t s;
    std::vector<std::size_t> capacities;  // after each push
    std::vector<std::size_t> side_a_blocks;  // capacities asked of side A
  };
  Case cases[] = {
      {"made by default", string_t(), {2, 4, 4, 8, 8, 8, 8, 16}, {}},
      {"empty with a block of 1 from side A", counted_string<side_a>(""), {2, 4, 4, 8}, {2, 4, 8}},
      {"\"ab\" filling its block from side A", counted_string<side_a>("ab"), {6, 6, 6, 12}, {6, 12}},
  };
  side_a::requests.clear();
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::string expected = c.s.to_std_string();
    for (std::size_t capacity : c.capacities) {
      c.s.push_back('x');
      expected += 'x';
      EXPECT_EQ(c.s.capacity(), capacity);
    }
    EXPECT_EQ(std::string(c.s.c_str(), c.s.size() + 1), expected + '\0');
    std::vector<std::uint32_t> bytes;
    for (std::size_t n : c.side_a_blocks) bytes.push_back(static_cast<std::uint32_t>(char_block_bytes(n)));
    EXPECT_EQ(side_a::requests, bytes);
    side_a::requests.clear();
  }
}

TEST_F(String, PushBackThatCannotGrowLeavesTheStringAsItWas) {
  struct Case {
    const char* what;
    string_t s;
  };
  Case cases[] = {
      {"\"ab\" filling its block", counted_string<side_a>("ab")},
      {"empty with a block of 1", counted_string<side_a>("")},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string before(c.s.c_str(), c.s.size() + 1);
    const std::size_t capacity = c.s.capacity();
    side_a::refuse = true;
    EXPECT_THROW(c.s.push_back('x'), std::bad_alloc);
    side_a::refuse = false;
    EXPECT_EQ(std::string(c.s.c_str(), c.s.size() + 1), before);
    EXPECT_EQ(c.s.capacity(), capacity);
    EXPECT_EQ(c.s, counted_string<side_b>(before.c_str()));
  }
}

TEST(StringPushBack, ReservedStorageTakesBytesWithoutGrowing) {
  string_t s;
  s.reserve(4);
  EXPECT_EQ(s.c_str(), empty_text);
  for (char c : std::string("abc")) s.push_back(c);
  EXPECT_STREQ(s.c_str(), "abc");
  EXPECT_EQ(s.capacity(), 4u);
}

TEST_F(String, EqualityComparesSizesThenBytes) {
  struct Case {
    const char* what;
    string_t a;
    string_t b;
    bool equal;
  };
  string_t roomy("abc");
  roomy.reserve(16);
  const Case cases[] = {
      {"equal texts, different capacities", string_t("abc"), std::move(roomy), true},
      {"equal texts, different routines", string_t("abc"), counted_string<side_a>("abc"), true},
      {"a prefix", string_t("ab"), string_t("abc"), false},
      {"one byte differs", string_t("abc"), string_t("abd"), false},
      {"empty with and without a block", string_t(), counted_string<side_a>(""), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.a == c.b, c.equal);
    EXPECT_EQ(c.a != c.b, !c.equal);
  }
}

TEST_F(String, AssignmentGivesTheFormerBlockBackToItsMaker) {
  string_t a = counted_string<side_a>("one");
  const string_t b = counted_string<side_b>("two");
  a = b;
  EXPECT_EQ(a.to_std_string(), "two");
  EXPECT_EQ(a.get_allocator(), side_b::allocator());
  EXPECT_TRUE(side_a::live.empty());
  a = string_t("three");
  EXPECT_EQ(a.get_allocator(), capture_allocator());
  EXPECT_EQ(side_b::live.size(), 1u);
}

TEST_F(String, MovedFromStringHasNoBlockAndCanBeAssigned) {
  string_t source = counted_string<side_a>("abc");
  const string_t moved(std::move(source));
  EXPECT_EQ(source.capacity(), 0u);
  EXPECT_EQ(source.c_str(), empty_text);
  EXPECT_STREQ(moved.c_str(), "abc");
  source = moved;
  EXPECT_EQ(source, moved);
}

}  // namespace

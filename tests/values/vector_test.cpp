#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "counting_routines.h"
#include "values/any_regular.h"
#include "values/vector.h"

namespace {

using ombrix::any_regular_t;
using ombrix::capture_allocator;
using ombrix::string_t;
using ombrix::vector;

std::string text_of(const vector<char>& v) { return std::string(v.begin(), v.end()); }

// A vector of the bytes with the given capacity, its blocks from side S.
template <typename S>
vector<char> counted_bytes(const std::string& text, std::size_t capacity) {
  vector<char> v(S::allocator());
  v.reserve(capacity);
  v.append(text.data(), text.data() + text.size());
  return v;
}

vector<char> default_bytes(const std::string& text, std::size_t capacity) {
  vector<char> v;
  v.reserve(capacity);
  v.append(text.data(), text.data() + text.size());
  return v;
}

using Vector = CountedBlocks;

TEST_F(Vector, BlockRequestsCountTheHeaderAndTheElements) {
  for (std::size_t n : {1u, 4u, 100u}) {
    SCOPED_TRACE("capacity " + std::to_string(n));
    vector<char> bytes(side_a::allocator());
    bytes.reserve(n);
    EXPECT_EQ(side_a::requests.back(), char_block_bytes(n));
    vector<any_regular_t> values(side_a::allocator());
    values.reserve(n);
    EXPECT_EQ(side_a::requests.back(), value_block_bytes(n));
  }
}

TEST_F(Vector, BlockHeaderHoldsRoutinesFinishAndEndOfStorageBeforeTheElements) {
  vector<char> v = counted_bytes<side_a>("abc", 5);
  ASSERT_EQ(side_a::live.size(), 1u);
  const auto* block = static_cast<const unsigned char*>(*side_a::live.begin());
  const void* words[4];
  std::memcpy(words, block, sizeof words);
  EXPECT_EQ(words[0], &side_a::table);
  EXPECT_EQ(words[1], v.end());
  EXPECT_EQ(words[2], v.begin() + 5);
  EXPECT_EQ(static_cast<const void*>(v.begin()), block + 4 * sizeof(void*));
}

TEST(VectorGrowth, PushBackFromEmptyGivesCapacities1248) {
  vector<char> v;
  std::vector<std::size_t> capacities;
  for (char c = 'a'; c < 'a' + 9; ++c) {
    v.push_back(c);
    capacities.push_back(v.capacity());
  }
  EXPECT_EQ(capacities, (std::vector<std::size_t>{1, 2, 4, 4, 8, 8, 8, 8, 16}));
  EXPECT_EQ(text_of(v), "abcdefghi");
}

TEST(VectorGrowth, AppendTakesTheLargerOfTwiceTheSizeAndTheSizeNeeded) {
  struct Case {
    const char* initial;
    std::size_t capacity;
    const char* appended;
    std::size_t expected_capacity;
  };
  const Case cases[] = {
      {"", 0, "abc", 3},
      {"ab", 2, "c", 4},
      {"ab", 2, "cdefg", 7},
      {"abc", 4, "d", 4},  // room enough: no new block
      {"abc", 8, "defgh", 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.initial) + " + " + c.appended);
    vector<char> v = default_bytes(c.initial, c.capacity);
    const char* const before = v.begin();
    v.append(c.appended, c.appended + std::strlen(c.appended));
    EXPECT_EQ(text_of(v), std::string(c.initial) + c.appended);
    EXPECT_EQ(v.capacity(), c.expected_capacity);
    if (c.capacity == c.expected_capacity) {
      EXPECT_EQ(v.begin(), before);
    }
  }
}

TEST_F(Vector, ReservePushBackAndAppendKeepTheRoutinesOfTheVector) {
  vector<char> v(side_a::allocator());
  v.reserve(3);
  for (char c : std::string("abcdef")) v.push_back(c);
  v.append("ghijk", "ghijk" + 5);
  EXPECT_EQ(v.get_allocator(), side_a::allocator());
  EXPECT_EQ(text_of(v), "abcdefghijk");
  EXPECT_EQ(side_a::live.size(), 1u);  // each older block went back to side A
  const std::size_t requests = side_a::requests.size();
  v.reserve(2);
  EXPECT_EQ(side_a::requests.size(), requests);
}

TEST_F(Vector, EmptyVectorKeepsOtherRoutinesInABlockOfCapacityOne) {
  const vector<char> with_other(side_a::allocator());
  EXPECT_EQ(with_other.capacity(), 1u);
  EXPECT_TRUE(with_other.empty());
  EXPECT_EQ(with_other.get_allocator(), side_a::allocator());
  const vector<char> with_default{capture_allocator()};
  EXPECT_EQ(with_default.capacity(), 0u);
}

TEST_F(Vector, InsertWorksInPlaceWithRoomAndOtherwiseThroughANewDefaultBlock) {
  struct Case {
    const char* what;
    const char* initial;
    std::size_t capacity;
    std::size_t position;
    const char* inserted;
    bool as_copies;  // count form: strlen(inserted) copies of inserted[0]
    const char* expected;
    std::size_t expected_capacity;
    bool in_place;
  };
  const Case cases[] = {
      {"one byte into size 5, capacity 6", "abcde", 6, 2, "X", true, "abXcde", 6, true},
      {"three bytes into size 5, capacity 6", "abcde", 6, 2, "XXX", true, "abXXXcde", 10, false},
      {"copies as many as the tail", "abcd", 8, 2, "XX", true, "abXXcd", 8, true},
      {"copies at the end", "abc", 8, 3, "ZZ", true, "abcZZ", 8, true},
      {"range shorter than the tail", "abcd", 6, 1, "XY", false, "aXYbcd", 6, true},
      {"range longer than the tail", "abcd", 8, 3, "XYZ", false, "abcXYZd", 8, true},
      {"range at the front without room", "abc", 3, 0, "XY", false, "XYabc", 6, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    vector<char> v = counted_bytes<side_a>(c.initial, c.capacity);
    const char* const old_begin = v.begin();
    const std::size_t k = std::strlen(c.inserted);
    const char* result =
        c.as_copies ? v.insert(v.begin() + c.position, k, c.inserted[0])
                    : v.insert(v.begin() + c.position, c.inserted, c.inserted + k);
    EXPECT_EQ(text_of(v), c.expected);
    EXPECT_EQ(v.capacity(), c.expected_capacity);
    EXPECT_EQ(result, v.begin() + c.position + k);
    if (c.in_place) {
      EXPECT_EQ(v.begin(), old_begin);
      EXPECT_EQ(v.get_allocator(), side_a::allocator());
    } else {
      EXPECT_EQ(v.get_allocator(), capture_allocator());
      EXPECT_TRUE(side_a::live.empty()) << "the old block went back to side A";
    }
  }
}

TEST_F(Vector, InsertedCopiesCarryTheValueTheByteHadWhenTheInsertBegan) {
  struct Case {
    const char* what;
    std::size_t capacity;
    std::size_t position;
    std::size_t count;
    const char* expected;
  };
  const Case cases[] = {
      {"the byte moves when the tail shifts", 10, 1, 1, "aebcde"},
      {"the byte lies in the shifted part", 10, 0, 2, "eeabcde"},
      {"the byte's block is replaced", 5, 0, 3, "eeeabcde"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    vector<char> v = counted_bytes<side_a>("abcde", c.capacity);
    v.insert(v.begin() + c.position, c.count, v[4]);
    EXPECT_EQ(text_of(v), c.expected);
  }
}

TEST(VectorPushBack, PushingAnElementOfAFullVectorIsSafe) {
  vector<char> v = default_bytes("ab", 2);
  v.push_back(v[0]);
  EXPECT_EQ(text_of(v), "aba");
}

TEST_F(Vector, ResizeCutsOrPadsWithZeroBytes) {
  struct Case {
    const char* initial;
    std::size_t capacity;
    std::size_t size;
    std::string expected;
    bool keeps_routines;
  };
  const Case cases[] = {
      {"abcd", 6, 2, "ab", true},
      {"ab", 6, 4, std::string("ab\0\0", 4), true},
      {"ab", 2, 5, std::string("ab\0\0\0", 5), false},  // grows by insert: default routines
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.initial) + " to " + std::to_string(c.size));
    vector<char> v = counted_bytes<side_a>(c.initial, c.capacity);
    v.resize(c.size);
    EXPECT_EQ(text_of(v), c.expected);
    EXPECT_EQ(v.get_allocator() == side_a::allocator(), c.keeps_routines);
  }
}

TEST(VectorPopBack, RemovesTheLastByteAndKeepsTheBlock) {
  vector<char> v = default_bytes("abc", 3);
  v.pop_back();
  EXPECT_EQ(text_of(v), "ab");
  EXPECT_EQ(v.capacity(), 3u);
}

TEST(VectorErase, MovesTheTailDownAndGivesFirst) {
  struct Case {
    const char* initial;
    std::size_t first;
    std::size_t last;
    const char* expected;
  };
  const Case cases[] = {
      {"abcdef", 1, 3, "adef"},
      {"abc", 0, 3, ""},
      {"abc", 3, 3, "abc"},
      {"abc", 2, 3, "ab"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.initial) + " without " + std::to_string(c.first) + ".." +
                 std::to_string(c.last));
    vector<char> v = default_bytes(c.initial, 8);
    EXPECT_EQ(v.erase(v.begin() + c.first, v.begin() + c.last), v.begin() + c.first);
    EXPECT_EQ(text_of(v), c.expected);
    EXPECT_EQ(v.capacity(), 8u);
  }
}

TEST_F(Vector, CopyKeepsTheRoutinesOfTheVectorCopiedWithCapacityOfItsSize) {
  struct Case {
    const char* what;
    vector<char> source;
    std::size_t expected_capacity;
    bool from_side_a;
  };
  const Case cases[] = {
      {"bytes from side A", counted_bytes<side_a>("abc", 8), 3, true},
      {"bytes with default routines", default_bytes("abc", 8), 3, false},
      {"empty with default routines", vector<char>(), 0, false},
      {"empty from side A", vector<char>(side_a::allocator()), 1, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::size_t requests = side_a::requests.size();
    const vector<char> copy(c.source);
    EXPECT_EQ(text_of(copy), text_of(c.source));
    EXPECT_EQ(copy.capacity(), c.expected_capacity);
    EXPECT_EQ(copy.get_allocator(), c.source.get_allocator());
    if (c.from_side_a) {
      EXPECT_EQ(side_a::requests.size(), requests + 1);
    }
  }
}

TEST_F(Vector, MoveHandsTheBlockOverAndLeavesNone) {
  vector<char> source = counted_bytes<side_a>("abc", 4);
  const char* const block_begin = source.begin();
  const vector<char> moved(std::move(source));
  EXPECT_EQ(moved.begin(), block_begin);
  EXPECT_EQ(source.capacity(), 0u);
  EXPECT_EQ(source.get_allocator(), capture_allocator());
}

TEST_F(Vector, AssignmentGivesEachFormerBlockBackToItsMaker) {
  vector<char> a = counted_bytes<side_a>("one", 4);
  const vector<char> b = counted_bytes<side_b>("two", 4);
  a = b;
  EXPECT_EQ(text_of(a), "two");
  EXPECT_EQ(a.get_allocator(), side_b::allocator());
  EXPECT_TRUE(side_a::live.empty());
  EXPECT_EQ(side_b::live.size(), 2u);
}

TEST_F(Vector, RefusedBlockThrowsBadAllocationAndLeavesTheVectorAsItWas) {
  struct Case {
    const char* what;
    void (*operation)(vector<char>&);
  };
  const Case cases[] = {
      {"reserve", [](vector<char>& v) { v.reserve(10); }},
      {"append", [](vector<char>& v) { v.append("defg", "defg" + 4); }},
      {"push back", [](vector<char>& v) { v.push_back('d'); }},
      {"copy", [](vector<char>& v) { const vector<char> copy(v); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    vector<char> v = counted_bytes<side_a>("abc", 3);
    side_a::refuse = true;
    try {
      c.operation(v);
      ADD_FAILURE() << "no exception";
    } catch (const std::bad_alloc& e) {
      EXPECT_STREQ(e.what(), "bad allocation");
    }
    side_a::refuse = false;
    EXPECT_EQ(text_of(v), "abc");
    EXPECT_EQ(v.capacity(), 3u);
  }
}

// Values whose strings come from side A: a value destroyed twice would give
// its block back twice, one never destroyed would keep it.
vector<any_regular_t> counted_values(std::initializer_list<const char*> texts) {
  vector<any_regular_t> values(side_b::allocator());
  for (const char* text : texts) values.push_back(any_regular_t(counted_string<side_a>(text)));
  return values;
}

std::string text_at(const vector<any_regular_t>& values, std::size_t n) {
  return values[n].cast<string_t>().to_std_string();
}

TEST_F(Vector, ErasingAllValuesDestroysEachOnceAndKeepsTheBlock) {
  vector<any_regular_t> values = counted_values({"0", "1", "2", "3"});
  const std::size_t capacity = values.capacity();
  values.erase(values.begin(), values.end());
  EXPECT_EQ(values.size(), 0u);
  EXPECT_EQ(values.capacity(), capacity);
  EXPECT_TRUE(side_a::live.empty());
  EXPECT_EQ(side_b::live.size(), 1u);
}

TEST_F(Vector, ErasingValuesFromTheMiddleMovesTheTailDown) {
  vector<any_regular_t> values = counted_values({"0", "1", "2", "3"});
  EXPECT_EQ(values.erase(values.begin() + 1, values.begin() + 3), values.begin() + 1);
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(text_at(values, 0), "0");
  EXPECT_EQ(text_at(values, 1), "3");
  EXPECT_EQ(side_a::live.size(), 2u);
}

TEST_F(Vector, AValueTakingAnothersPlaceTakesItsTable) {
  vector<any_regular_t> values;
  values.push_back(any_regular_t(true));
  values.push_back(any_regular_t(counted_string<side_a>("x")));
  values.push_back(any_regular_t(2.5));
  values.erase(values.begin(), values.begin() + 1);
  ASSERT_EQ(values.size(), 2u);
  EXPECT_EQ(text_at(values, 0), "x");
  EXPECT_EQ(values[1].cast<double>(), 2.5);
}

TEST_F(Vector, RelocatingValuesHandsStringBlocksOverWithoutCopying) {
  vector<any_regular_t> values = counted_values({"first", "second"});
  const char* const first = values[0].cast<string_t>().c_str();
  const char* const second = values[1].cast<string_t>().c_str();
  const std::size_t requests = side_a::requests.size();
  values.reserve(values.capacity() + 5);
  values.push_back(any_regular_t(1.0));
  EXPECT_EQ(values[0].cast<string_t>().c_str(), first);
  EXPECT_EQ(values[1].cast<string_t>().c_str(), second);
  EXPECT_EQ(side_a::requests.size(), requests);
  EXPECT_EQ(values.get_allocator(), side_b::allocator());
}

TEST_F(Vector, CopyOfValuesClonesEachThroughItsModel) {
  const vector<any_regular_t> values = counted_values({"a", "b"});
  const vector<any_regular_t> copy(values);
  ASSERT_EQ(copy.size(), 2u);
  EXPECT_EQ(text_at(copy, 1), "b");
  EXPECT_NE(copy[1].cast<string_t>().c_str(), values[1].cast<string_t>().c_str());
  EXPECT_EQ(side_a::live.size(), 4u);
}

}  // namespace

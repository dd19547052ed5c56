#include <gtest/gtest.h>

#include <cstdint>
#include <iterator>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "counting_routines.h"
#include "values/string.h"
#include "values/unicode.h"

namespace {

using ombrix::string_t;

std::string hex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char b : bytes) {
    if (!out.empty()) out += ' ';
    out += digits[b >> 4];
    out += digits[b & 0xF];
  }
  return out;
}

void convert(const std::u16string& units, string_t& out) {
  ombrix::utf16_to_utf8(units.begin(), units.end(), std::back_inserter(out));
}

// An output position that pushes each byte with string_t::push_back on its
// own: the byte-by-byte conversion the string_t one must match.
struct pushing_position {
  string_t* text;
  pushing_position& operator*() { return *this; }
  pushing_position& operator=(char c) {
    text->push_back(c);
    return *this;
  }
  pushing_position& operator++() { return *this; }
};

std::string with_nul(const string_t& s) { return std::string(s.c_str(), s.size() + 1); }

TEST(Utf16ToUtf8, WritesEachCodePointInItsShortestForm) {
  struct Case {
    std::u16string units;
    const char* bytes;
  };
  const Case cases[] = {
      {u"abc", "61 62 63"},
      {u"\x007F", "7F"},
      {u"\x0080", "C2 80"},
      {u"\x00E9", "C3 A9"},
      {u"\x07FF", "DF BF"},
      {u"\x0800", "E0 A0 80"},
      {u"\x20AC", "E2 82 AC"},
      {u"\xFFFF", "EF BF BF"},
      {u"\xD83D\xDE00", "F0 9F 98 80"},
      {u"\xD800\xDC00", "F0 90 80 80"},
      {u"\xDBFF\xDFFF", "F4 8F BF BF"},
      {u"a\x00E9\x20AC\xD83D\xDE00", "61 C3 A9 E2 82 AC F0 9F 98 80"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    string_t out;
    convert(c.units, out);
    EXPECT_EQ(hex(out.to_std_string()), c.bytes);
    EXPECT_EQ(out.c_str()[out.size()], '\0');
  }
}

TEST(Utf16ToUtf8, LoneSurrogatesThrowAfterTheBytesOfTheCodePointsBefore) {
  const char* const high = "unicode: utf16 high surrogate found without low surrogate";
  const char* const low = "unicode: utf16 low surrogate found without high surrogate";
  struct Case {
    const char* what;
    std::u16string units;
    const char* message;
    const char* bytes_before;
  };
  const Case cases[] = {
      {"low surrogate first", u"\xDC00", low, ""},
      {"low surrogate after a pair", u"\xD83D\xDE00\xDFFF", low, "F0 9F 98 80"},
      {"high surrogate at the end", u"A\xD800", high, "41"},
      {"high surrogate at the end after two bytes", u"\x00E9\xDBFF", high, "C3 A9"},
      {"high surrogate before a plain unit", u"A\xD800" u"B", high, "41"},
      {"high surrogate before a high surrogate", u"A\xD800\xD800\xDC00", high, "41"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    string_t out;
    try {
      convert(c.units, out);
      ADD_FAILURE() << "no exception";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
    EXPECT_EQ(hex(out.to_std_string()), c.bytes_before);
  }
}

TEST(DecodeUtf16, GivesTheCodePointAndThePositionAfterItsLastUnit) {
  const std::u16string units = u"a\xD83D\xDE00";
  const auto plain = ombrix::decode_utf16(units.begin(), units.end());
  EXPECT_EQ(plain.first, 0x61u);
  EXPECT_EQ(plain.second, units.begin() + 1);
  const auto pair = ombrix::decode_utf16(plain.second, units.end());
  EXPECT_EQ(pair.first, 0x1F600u);
  EXPECT_EQ(pair.second, units.end());
}

TEST(EncodeUtf8, WritesAnyValueInOneToSixBytesUnchecked) {
  struct Case {
    std::uint32_t code_point;
    const char* bytes;
  };
  const Case cases[] = {
      {0xD800, "ED A0 80"},  // surrogate values are not refused
      {0x1FFFFF, "F7 BF BF BF"},
      {0x200000, "F8 88 80 80 80"},
      {0x3FFFFFF, "FB BF BF BF BF"},
      {0x4000000, "FC 84 80 80 80 80"},
      {0x7FFFFFFF, "FD BF BF BF BF BF"},
      {0xFFFFFFFF, "FF BF BF BF BF BF"},  // the first byte keeps the low 8 bits
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    char buffer[8] = {};
    char* const end = ombrix::encode_utf8(c.code_point, buffer);
    const std::string written(buffer, end);
    EXPECT_EQ(hex(written), c.bytes);
  }
}

using Utf16ToUtf8Storage = CountedBlocks;

TEST_F(Utf16ToUtf8Storage, EmptyTextLeavesAStringWithoutStorage) {
  string_t out;
  convert(u"", out);
  EXPECT_EQ(out.capacity(), 0u);
}

TEST_F(Utf16ToUtf8Storage, AsciiIntoOneBytePerUnitPlusOneNeedsNoNewBlock) {
  const std::u16string units = u"externalAppGetTempPath";
  string_t out(side_a::allocator());
  out.reserve(units.size() + 1);
  const std::size_t requests = side_a::requests.size();
  convert(units, out);
  EXPECT_EQ(out.to_std_string(), "externalAppGetTempPath");
  EXPECT_EQ(side_a::requests.size(), requests);
  EXPECT_EQ(out.capacity(), units.size() + 1);
}

TEST_F(Utf16ToUtf8Storage, LongerResultsGrowTheStringWithItsOwnRoutines) {
  const std::u16string units = u"\x00E9\x00E9\x00E9";
  string_t out(side_a::allocator());
  out.reserve(units.size() + 1);
  convert(units, out);
  EXPECT_EQ(hex(out.to_std_string()), "C3 A9 C3 A9 C3 A9");
  EXPECT_EQ(out.get_allocator(), side_a::allocator());
}

// Starting strings whose blocks come from side S: without room, with room
// for part of the text, and empty in blocks of 1 and of plenty.
template <typename S>
std::vector<string_t> starting_strings() {
  std::vector<string_t> strings;
  strings.push_back(counted_string<S>("ab"));
  strings.push_back(counted_string<S>("ab"));
  strings.back().reserve(7);
  strings.push_back(counted_string<S>(""));
  strings.push_back(counted_string<S>(""));
  strings.back().reserve(64);
  return strings;
}

TEST_F(Utf16ToUtf8Storage, GivesTheBytesAndGrowthOfPushingEachByte) {
  const std::u16string texts[] = {
      u"plain ASCII text that is longer than any room it starts with",
      u"\x00E9\x00E9\x00E9\x00E9\x00E9\x00E9\x00E9",
      u"a\x00E9\x20AC\xD83D\xDE00z\x20AC\xD83D\xDE00\xD83D\xDE00\x20AC" u"bc\x00E9",
  };
  for (const std::u16string& text : texts) {
    std::vector<string_t> converted = starting_strings<side_a>();
    std::vector<string_t> pushed = starting_strings<side_b>();
    for (std::size_t i = 0; i < converted.size(); ++i) {
      SCOPED_TRACE("text of " + std::to_string(text.size()) + " units into string " + std::to_string(i));
      side_a::requests.clear();
      side_b::requests.clear();
      convert(text, converted[i]);
      ombrix::utf16_to_utf8(text.begin(), text.end(), pushing_position{&pushed[i]});
      EXPECT_EQ(hex(with_nul(converted[i])), hex(with_nul(pushed[i])));
      EXPECT_EQ(converted[i].capacity(), pushed[i].capacity());
      EXPECT_EQ(side_a::requests, side_b::requests);
      EXPECT_EQ(converted[i].get_allocator(), side_a::allocator());
    }
  }
}

TEST_F(Utf16ToUtf8Storage, RunningOutOfMemoryGivesTheStringBackAsItWas) {
  const std::u16string texts[] = {
      u"abcdefghijklmnopqrstuvwxyz",
      u"\x20AC\x20AC\x20AC\x20AC",
      u"xy\xD83D\xDE00\xD83D\xDE00",
  };
  for (const std::u16string& text : texts) {
    std::vector<string_t> strings = starting_strings<side_a>();
    for (std::size_t i = 0; i + 1 < strings.size(); ++i) {  // the last has room for all
      SCOPED_TRACE("text of " + std::to_string(text.size()) + " units into string " + std::to_string(i));
      const std::string before = with_nul(strings[i]);
      side_a::refuse = true;
      EXPECT_THROW(convert(text, strings[i]), std::bad_alloc);
      side_a::refuse = false;
      EXPECT_EQ(hex(with_nul(strings[i])), hex(before));
      EXPECT_EQ(strings[i].empty(), before.size() == 1);
    }
  }
}

}  // namespace

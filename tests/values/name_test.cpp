#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "values/name.h"
#include "values/name_table.h"

namespace {

using ombrix::compare_strings;
using ombrix::empty_text;
using ombrix::make_literal_name;
using ombrix::name_t;
using ombrix::name_table_t;
using ombrix::string_pool_t;

int sign(int x) { return (x > 0) - (x < 0); }

TEST(CompareStrings, OrdersBytesAsSignedValues) {
  struct Case {
    const char* a;
    const char* b;
    int sign;
  };
  const Case cases[] = {
      {"", "", 0},
      {"abc", "abc", 0},
      {"a", "ab", -1},
      {"ab", "a", 1},
      {"b", "a", 1},
      {"\x80", "a", -1},     // 0x80..0xFF before 0x01..0x7F
      {"a", "a\x80", 1},     // a longer text sorts first when its next byte is high
      {"\x7f", "\x80", 1},   // unsigned reading would give the opposite
      {"\xff", "\x80", 1},
      {"", "\x80", 1},       // NUL after the high bytes
      {"", "\x01", -1},      // and before the low ones
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("\"") + c.a + "\" against \"" + c.b + "\"");
    EXPECT_EQ(sign(compare_strings(c.a, c.b)), c.sign);
  }
}

TEST(StringPool, FillsBlocksOfAtLeast4096BytesAndWritesOnlyTheNewest) {
  struct Case {
    const char* what;
    std::vector<std::size_t> lengths;
    std::size_t blocks;
    std::size_t newest_block_size;
    std::size_t newest_block_used;
  };
  const Case cases[] = {
      {"short texts share one block", {10, 20}, 1, 4096, 11 + 21},
      {"4095 bytes fill a block exactly", {4095}, 1, 4096, 4096},
      {"any text after a full block starts a new one", {4095, 1}, 2, 4096, 2},
      {"a 5000-byte text gets a block of exactly 5001 bytes", {5000}, 1, 5001, 5001},
      {"later short texts follow a new block, not the old tail", {4000, 200, 1}, 2, 4096, 201 + 2},
      {"after an oversized block short texts get a standard one", {10, 5000, 1}, 3, 4096, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    string_pool_t pool;
    std::vector<std::string> texts;
    std::vector<const char*> copies;
    for (std::size_t i = 0; i < c.lengths.size(); ++i) {
      texts.emplace_back(c.lengths[i], static_cast<char>('a' + i));
      copies.push_back(pool.add(texts.back().c_str()));
    }
    for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_STREQ(copies[i], texts[i].c_str());
    ASSERT_EQ(pool.blocks().size(), c.blocks);
    const char* newest = pool.blocks().back();
    EXPECT_EQ(static_cast<std::size_t>(pool.end() - newest), c.newest_block_size);
    EXPECT_EQ(static_cast<std::size_t>(pool.position() - newest), c.newest_block_used);
  }
}

TEST(StringPool, AllocateReservesRoomAndWritesTheNul) {
  string_pool_t pool;
  char* first = pool.allocate(3);
  char* second = pool.allocate(0);
  EXPECT_EQ(first[3], '\0');
  EXPECT_EQ(second, first + 4);
  EXPECT_EQ(second[0], '\0');
}

TEST(StringPool, ReleasedPoolStartsAgainFromNothing) {
  string_pool_t pool;
  pool.add("abc");
  pool.release_blocks();
  EXPECT_TRUE(pool.blocks().empty());
  EXPECT_EQ(pool.position(), nullptr);
  EXPECT_EQ(pool.end(), nullptr);
  EXPECT_STREQ(pool.add("xyz"), "xyz");
  EXPECT_EQ(pool.blocks().size(), 1u);
}

TEST(NameTable, InterningAnEqualTextAgainGivesThePooledCopyWithoutAllocating) {
  name_table_t table;
  char first[] = "window";
  char second[] = "window";
  const char* pooled = table.intern(first);
  const char* position = table.pool().position();
  EXPECT_NE(pooled, first);
  EXPECT_STREQ(pooled, "window");
  EXPECT_EQ(table.intern(second), pooled);
  EXPECT_EQ(table.pool().position(), position);
  EXPECT_EQ(table.pool().blocks().size(), 1u);
  EXPECT_EQ(table.size(), 1u);
}

TEST(NameTable, KeepsTextsThatDifferOnlyInHighBytesApart) {
  name_table_t table;
  const char* const texts[] = {"a", "a\x80", "a\x7f", "\xff", "\x80"};
  std::vector<const char*> pooled;
  for (const char* text : texts) pooled.push_back(table.intern(text));
  for (std::size_t i = 0; i < pooled.size(); ++i) {
    EXPECT_STREQ(pooled[i], texts[i]);
    EXPECT_EQ(table.intern(texts[i]), pooled[i]);
  }
  EXPECT_EQ(table.size(), pooled.size());
}

// Texts that part at the edges of the words the table compares first, and
// after the first 24 bytes, where it compares the rest byte by byte.
TEST(NameTable, OrdersItsTextsByCompareStringsAndFindsEachAgain) {
  const std::string head(24, 'h');
  const std::string word(8, 'w');
  const std::vector<std::string> texts = {
      "b", "a\x80", "a", "a\x7f", "\xff", "\x80", "ab",
      word.substr(1) + "\x80", word.substr(1) + "y", word.substr(1),
      word + "\x80", word, word + "\x01",
      head.substr(1) + "\x80", head.substr(1) + "\x01", head.substr(1),
      head + "a", head, head + "\x80", head + "b", head + "a\x80", head + "a" + head,
  };
  name_table_t table;
  std::vector<const char*> pooled;
  for (const std::string& text : texts) pooled.push_back(table.intern(text.c_str()));
  for (std::size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(table.intern(texts[i].c_str()), pooled[i]) << i;
    EXPECT_EQ(pooled[i], texts[i]) << i;
  }
  std::vector<std::string> expected = texts;
  std::sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
    return compare_strings(a.c_str(), b.c_str()) < 0;
  });
  const std::vector<const char*> in_order = table.texts();
  EXPECT_EQ(std::vector<std::string>(in_order.begin(), in_order.end()), expected);
}

TEST(NameTable, NullAndEmptyTextsGiveTheStaticEmptyTextAndPoolNothing) {
  name_table_t table;
  EXPECT_EQ(table.intern(nullptr), empty_text);
  EXPECT_EQ(table.intern(""), empty_text);
  EXPECT_EQ(table.size(), 0u);
  EXPECT_TRUE(table.pool().blocks().empty());
}

TEST(Name, NullAndEmptyTextsGiveTheEmptyName) {
  const name_t names[] = {name_t(), name_t(nullptr), name_t("")};
  for (const name_t& n : names) {
    EXPECT_EQ(n.c_str(), empty_text);
    EXPECT_TRUE(n.empty());
  }
}

TEST(Name, EqualTextsGiveOnePointer) {
  const std::string text = "qevCallBackReady";
  const name_t a(text.c_str());
  const name_t b("qevCallBackReady");
  EXPECT_EQ(a, b);
  EXPECT_EQ(a.c_str(), b.c_str());
  EXPECT_NE(a.c_str(), text.c_str());
  EXPECT_NE(a, name_t("qevCallBackReadyX"));
}

TEST(Name, LiteralNameHoldsTheLiteralAndEqualsAnInternedNameOnlyByText) {
  static const char literal[] = "abc";
  const name_t from_literal = make_literal_name(literal);
  const name_t interned(literal);
  EXPECT_EQ(from_literal.c_str(), literal);
  EXPECT_NE(from_literal, interned);
  EXPECT_EQ(compare_strings(from_literal.c_str(), interned.c_str()), 0);
}

}  // namespace

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "case_name.h"
#include "operand.h"

namespace {

using ::operator<<;

struct word_case {
  const char* label;
  const char* line;
  std::vector<std::pair<std::string, bool>> words;  // characters, quoted
};

class SplitWords : public ::testing::TestWithParam<word_case> {};

TEST_P(SplitWords, GivesTheWordsWithTheirEscapesResolved) {
  const std::vector<wyl::word_t> words = wyl::split_words(GetParam().line);
  ASSERT_EQ(words.size(), GetParam().words.size());
  for (std::size_t i = 0; i < words.size(); ++i) {
    EXPECT_EQ(words[i].characters, GetParam().words[i].first) << i;
    EXPECT_EQ(words[i].quoted, GetParam().words[i].second) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitWords,
    ::testing::Values(
        word_case{"blanks_and_tabs", "send  a\tb ", {{"send", false}, {"a", false}, {"b", false}}},
        word_case{"quoted_text_is_one_word", "send \"a b\" 2", {{"send", false}, {"a b", true}, {"2", false}}},
        word_case{"empty_text", "\"\"", {{"", true}}},
        word_case{"escapes", R"("\\ \" \n \r \t")", {{"\\ \" \n \r \t", true}}},
        word_case{"unicode_escape_to_utf8", R"("\u00E9\u20AC")", {{"\xC3\xA9\xE2\x82\xAC", true}}},
        word_case{"utf8_kept", "\"\xC3\xA9t\xC3\xA9\"", {{"\xC3\xA9t\xC3\xA9", true}}},
        word_case{"empty_line", "", {}}),
    ombrix_test::case_name<word_case>);

class SplitWordsRefuses : public ::testing::TestWithParam<const char*> {};

TEST_P(SplitWordsRefuses, AMalformedText) {
  EXPECT_THROW(wyl::split_words(GetParam()), wyl::syntax_error);
}

INSTANTIATE_TEST_SUITE_P(Lines, SplitWordsRefuses,
                         ::testing::Values("\"open", R"("a\q")", R"("\u12")", R"("\uD800")",
                                           R"("\u00G0")", "\"a\"b", R"("ends in \")"));

TEST(ReadOperand, TellsTextsBooleansAndNumbersApart) {
  EXPECT_EQ(wyl::read_operand({"true", false}).kind, wyl::operand_t::boolean);
  EXPECT_TRUE(wyl::read_operand({"true", false}).truth);
  EXPECT_FALSE(wyl::read_operand({"false", false}).truth);
  EXPECT_EQ(wyl::read_operand({"true", true}).kind, wyl::operand_t::text);
  EXPECT_EQ(wyl::read_operand({"-2.5e1", false}).value, -25.0);
  EXPECT_EQ(wyl::read_operand({"12", true}).characters, "12");
}

TEST(ReadNumber, RefusesWhatIsNoFiniteDecimal) {
  for (const char* text : {"", "abc", "1x", "inf", "nan", "0x10", "1e999", "--1", "1 "}) {
    EXPECT_THROW(wyl::read_number(text), wyl::syntax_error) << text;
  }
}

TEST(FormatNumber, GivesTheShortestTextThatReadsBack) {
  const std::pair<double, const char*> cases[] = {
      {0, "0"}, {-1, "-1"}, {2.5, "2.5"}, {0.1, "0.1"}, {1e21, "1e+21"}, {1.0 / 3, "0.3333333333333333"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(wyl::format_number(value), text);
  for (const double value : {0.1 + 0.2, std::numeric_limits<double>::max(), -4.9e-324, 123456789.125}) {
    EXPECT_EQ(wyl::read_number(wyl::format_number(value)), value);
  }
}

TEST(FormatOperand, QuotesTextsSoThatTheyReadBack) {
  const std::string texts[] = {"", "plain", "a \"b\" \\c", "line\nbreak\r\ttab", std::string("\x01\x1F", 2),
                               "\xC3\xA9"};
  for (const std::string& text : texts) {
    const std::string written = wyl::format_operand(wyl::text_operand(text));
    EXPECT_EQ(written.find('\n'), std::string::npos);
    const std::vector<wyl::word_t> words = wyl::split_words(written);
    ASSERT_EQ(words.size(), 1u) << written;
    EXPECT_EQ(words[0].characters, text) << written;
  }
  EXPECT_EQ(wyl::format_operands({wyl::text_operand("QuitApp"), wyl::number_operand(2),
                                  wyl::boolean_operand(false)}),
            " \"QuitApp\" 2 false");
}

TEST(OneLine, WritesControlCharactersAsEscapes) {
  EXPECT_EQ(wyl::one_line("a\nb\\c\x01"), "a\\u000Ab\\c\\u0001");
}

}  // namespace

// GetEnvironmentVariableW: the UTF-8 environment as UTF-16, the sizes it
// returns, names in another case and missing variables.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "case_name.h"
#include "win32.h"

namespace {
using ::operator<<;

class Environment : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ::setenv("SHELL_TEST_WORD", "gr\xC3\xBC\xC3\x9F dich", 1);   // "grüß dich": 9 units
    ::setenv("SHELL_TEST_CLEF", "\xF0\x9D\x84\x9E", 1);          // U+1D11E: a surrogate pair
    ::setenv("SHELL_TEST_EMPTY", "", 1);
  }
};

struct ValueCase {
  std::string label;
  std::u16string name;
  std::u16string value;
};

class Value : public Environment, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(Value, IsCopiedWithItsLengthReturned) {
  WCHAR buffer[32];
  std::fill(std::begin(buffer), std::end(buffer), u'#');
  SetLastError(12345);
  EXPECT_EQ(GetEnvironmentVariableW(GetParam().name.c_str(), buffer, 32), GetParam().value.size());
  EXPECT_EQ(std::u16string(buffer), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Values, Value,
    ::testing::Values(ValueCase{"converted_from_utf8", u"SHELL_TEST_WORD", u"gr\u00FC\u00DF dich"},
                      ValueCase{"name_in_another_case", u"shell_test_Word", u"gr\u00FC\u00DF dich"},
                      ValueCase{"surrogate_pair", u"SHELL_TEST_CLEF", u"\U0001D11E"}),
    ombrix_test::case_name<ValueCase>);

TEST_F(Environment, ExactFitTakesTheValueAndItsNul) {
  WCHAR buffer[10];
  EXPECT_EQ(GetEnvironmentVariableW(u"SHELL_TEST_WORD", buffer, 10), 9u);
  EXPECT_EQ(buffer[9], u'\0');
}

TEST_F(Environment, TooSmallABufferGivesTheSizeWithTheNulAndIsNotWritten) {
  WCHAR buffer[9];
  std::fill(std::begin(buffer), std::end(buffer), u'#');
  EXPECT_EQ(GetEnvironmentVariableW(u"SHELL_TEST_WORD", buffer, 9), 10u);
  EXPECT_EQ(std::u16string(buffer, 9), std::u16string(9, u'#'));
  EXPECT_EQ(GetEnvironmentVariableW(u"SHELL_TEST_WORD", nullptr, 0), 10u);
}

TEST_F(Environment, EmptyValueIsZeroWithoutAnError) {
  WCHAR buffer[4] = {u'#', u'#'};
  SetLastError(12345);
  EXPECT_EQ(GetEnvironmentVariableW(u"SHELL_TEST_EMPTY", buffer, 4), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
  EXPECT_EQ(buffer[0], u'\0');
}

struct MissingCase {
  std::string label;
  const char16_t* name;
};

class Missing : public Environment, public ::testing::WithParamInterface<MissingCase> {};

TEST_P(Missing, IsZeroWithEnvvarNotFound) {
  WCHAR buffer[4] = {u'#', u'\0'};
  SetLastError(0);
  EXPECT_EQ(GetEnvironmentVariableW(GetParam().name, buffer, 4), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ENVVAR_NOT_FOUND));
  EXPECT_EQ(std::u16string(buffer), u"#");
}

INSTANTIATE_TEST_SUITE_P(Names, Missing,
                         ::testing::Values(MissingCase{"unset", u"SHELL_TEST_NOT_SET"},
                                           MissingCase{"name_with_equals", u"SHELL_TEST_WORD=gr"},
                                           MissingCase{"empty_name", u""}, MissingCase{"null_name", nullptr}),
                         ombrix_test::case_name<MissingCase>);

}  // namespace

// GetUserDefaultUILanguage, GetSystemDefaultLangID and GetLocaleInfoW with
// LOCALE_SDECIMAL: the profile's languages, the locale table, the default
// locales and the buffer rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_name.h"
#include "run_checks.h"
#include "sandbox.h"
#include "shell_machine.h"
#include "win32.h"

namespace {
using ::operator<<;

struct DecimalCase {
  std::string label;
  LCID locale;
  std::u16string separator;
};

class Decimal : public ::testing::TestWithParam<DecimalCase> {};

TEST_P(Decimal, IsTheLocalesSeparator) {
  WCHAR buffer[4] = {u'#', u'#', u'#', u'#'};
  const int result = GetLocaleInfoW(GetParam().locale, LOCALE_SDECIMAL, buffer, 4);
  EXPECT_EQ(result, static_cast<int>(GetParam().separator.size()) + 1);
  EXPECT_EQ(std::u16string(buffer), GetParam().separator);
}

// The machine's UI language is 0x0809 and its system language 0x0407.
INSTANTIATE_TEST_SUITE_P(
    Locales, Decimal,
    ::testing::Values(DecimalCase{"German_Germany", 0x0407, u","}, DecimalCase{"English_UK", 0x0809, u"."},
                      DecimalCase{"English_Australia", 0x0C09, u"."}, DecimalCase{"Portuguese_Portugal", 0x0816, u","},
                      DecimalCase{"French_Canada", 0x0C0C, u","}, DecimalCase{"French_Switzerland", 0x100C, u"."},
                      DecimalCase{"Spanish_Mexico", 0x080A, u"."}, DecimalCase{"Spanish_Spain", 0x0C0A, u","},
                      DecimalCase{"English_US", 0x0409, u"."}, DecimalCase{"Italian", 0x0410, u","},
                      DecimalCase{"Japanese", 0x0411, u"."}, DecimalCase{"Dutch", 0x0413, u","},
                      DecimalCase{"Swedish", 0x041D, u","}, DecimalCase{"English_only", 9, u"."},
                      DecimalCase{"German_only", 7, u","}, DecimalCase{"Spanish_only_is_Spain", 0x0A, u","},
                      DecimalCase{"sort_identifier_ignored", 0x00010407, u","},
                      DecimalCase{"invariant", LOCALE_INVARIANT, u"."},
                      DecimalCase{"system_default", LOCALE_SYSTEM_DEFAULT, u","},
                      DecimalCase{"user_default_is_system_language", LOCALE_USER_DEFAULT, u","},
                      DecimalCase{"neutral_is_user_default", LOCALE_NEUTRAL, u","},
                      DecimalCase{"custom_default_is_user_default", LOCALE_CUSTOM_DEFAULT, u","},
                      DecimalCase{"custom_ui_default_is_ui_language", LOCALE_CUSTOM_UI_DEFAULT, u"."}),
    ombrix_test::case_name<DecimalCase>);

struct FailureCase {
  std::string label;
  LCID locale;
  LCTYPE type;
  int size;
  DWORD error;
};

class DecimalFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(DecimalFailure, ReturnsZeroWithTheErrorAndLeavesTheBuffer) {
  WCHAR buffer[4] = {u'#', u'\0'};
  SetLastError(0);
  EXPECT_EQ(GetLocaleInfoW(GetParam().locale, GetParam().type, buffer, GetParam().size), 0);
  EXPECT_EQ(GetLastError(), GetParam().error);
  EXPECT_EQ(std::u16string(buffer), u"#");
}

INSTANTIATE_TEST_SUITE_P(
    Errors, DecimalFailure,
    ::testing::Values(
        FailureCase{"unknown_sublanguage", 0x7C09, LOCALE_SDECIMAL, 4, ERROR_INVALID_PARAMETER},
        FailureCase{"unknown_language", 0x00FF, LOCALE_SDECIMAL, 4, ERROR_INVALID_PARAMETER},
        FailureCase{"custom_unspecified", LOCALE_CUSTOM_UNSPECIFIED, LOCALE_SDECIMAL, 4, ERROR_INVALID_PARAMETER},
        FailureCase{"reserved_bits", 0x00100407, LOCALE_SDECIMAL, 4, ERROR_INVALID_PARAMETER},
        FailureCase{"negative_size", 0x0407, LOCALE_SDECIMAL, -1, ERROR_INVALID_PARAMETER},
        FailureCase{"other_type", 0x0407, 0x0000000F, 4, ERROR_INVALID_FLAGS},
        FailureCase{"as_number", 0x0407, LOCALE_SDECIMAL | LOCALE_RETURN_NUMBER, 4, ERROR_INVALID_FLAGS},
        FailureCase{"no_room_for_the_nul", 0x0407, LOCALE_SDECIMAL, 1, ERROR_INSUFFICIENT_BUFFER}),
    ombrix_test::case_name<FailureCase>);

TEST(DecimalBuffer, SizeZeroGivesTheSizeWithTheNulAndWritesNothing) {
  WCHAR buffer[4] = {u'#', u'\0'};
  EXPECT_EQ(GetLocaleInfoW(0x0407, LOCALE_SDECIMAL, buffer, 0), 2);
  EXPECT_EQ(std::u16string(buffer), u"#");
}

TEST(DecimalBuffer, ExactlyTheSeparatorAndItsNulFit) {
  WCHAR buffer[2] = {u'#', u'#'};
  EXPECT_EQ(GetLocaleInfoW(0x0407, LOCALE_SDECIMAL | LOCALE_NOUSEROVERRIDE, buffer, 2), 2);
  EXPECT_EQ(buffer[0], u',');
  EXPECT_EQ(buffer[1], u'\0');
}

TEST(DecimalBuffer, NullBufferWithASizeIsTooSmall) {
  SetLastError(0);
  EXPECT_EQ(GetLocaleInfoW(0x0407, LOCALE_SDECIMAL, nullptr, 4), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST(Languages, ComeFromTheProfile) {
  EXPECT_EQ(GetUserDefaultUILanguage(), 0x0809);
  EXPECT_EQ(GetSystemDefaultLangID(), 0x0407);
}

// Other profiles, through the probe.
struct ProfileCase {
  std::string label;
  std::string locale_section;
  std::vector<std::string> probe;
  std::string output;
};

class LocaleProfile : public ::testing::TestWithParam<ProfileCase> {};

TEST_P(LocaleProfile, ProbeReports) {
  ombrix_test::Sandbox sandbox;
  sandbox.write_profile(GetParam().locale_section.empty() ? "" : "[locale]\n" + GetParam().locale_section);
  const ombrix_test::RunResult run = sandbox.run(SHELL_PROBE, GetParam().probe, {}, 20);
  ASSERT_TRUE(ombrix_test::ended_with(run, 0));
  EXPECT_EQ(run.out, GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, LocaleProfile,
    ::testing::Values(
        ProfileCase{"defaults", "", {"languages"}, "ui=0409 system=0409\n"},
        ProfileCase{"ui_language_zero", "ui_language = 0\n", {"languages"}, "ui=0000 system=0409\n"},
        ProfileCase{"decimal_numbers", "ui_language = 1031\nsystem_language = 1036\n", {"languages"},
                    "ui=0407 system=040c\n"},
        ProfileCase{"malformed_values_give_defaults", "ui_language = german\nsystem_language = 0x10000\n",
                    {"languages"}, "ui=0409 system=0409\n"},
        ProfileCase{"user_locale_key", "system_language = 0x0407\nuser_locale = 0x0409\n", {"decimal", "400"},
                    "returned=2 error=0 text=.\n"},
        ProfileCase{"custom_ui_default_without_ui_language", "ui_language = 0\nsystem_language = 0x0407\n",
                    {"decimal", "1400"}, "returned=2 error=0 text=,\n"},
        ProfileCase{"user_locale_unknown", "user_locale = 0x0499\n", {"decimal", "0"},
                    "returned=0 error=87 text=#\n"}),
    ombrix_test::case_name<ProfileCase>);

}  // namespace

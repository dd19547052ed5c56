// Windows' command-line rules, and CommandLineToArgvW over them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cmdline.h"
#include "winlayer/winlayer.h"

namespace {

using Args = std::vector<std::u16string>;

struct SplitCase {
  const char16_t* line;
  Args expected;
};

class SplitCommandLine : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLine, GivesTheArgumentsWindowsGives) {
  EXPECT_EQ(winlayer::split_command_line(GetParam().line), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SplitCommandLine,
    ::testing::Values(
        SplitCase{u"prog a b", {u"prog", u"a", u"b"}},
        SplitCase{u"prog \t a\t\tb  ", {u"prog", u"a", u"b"}},
        SplitCase{u"\"C:\\Program Files\\x.exe\" a", {u"C:\\Program Files\\x.exe", u"a"}},
        // The program name takes backslashes and quotes literally.
        SplitCase{u"C:\\dir\\\"x a", {u"C:\\dir\\\"x", u"a"}},
        SplitCase{u"p \"a b\" c", {u"p", u"a b", u"c"}},
        SplitCase{u"p a\"b c\"d", {u"p", u"ab cd"}},
        // 2n backslashes before a quote: n backslashes, the quote delimits.
        SplitCase{u"p a\\\\\"b c\"", {u"p", u"a\\b c"}},
        // 2n+1 backslashes before a quote: n backslashes and a literal quote.
        SplitCase{u"p a\\\"b", {u"p", u"a\"b"}},
        SplitCase{u"p a\\\\\\\"b", {u"p", u"a\\\"b"}},
        // Backslashes not before a quote are literal.
        SplitCase{u"p a\\\\b c\\", {u"p", u"a\\\\b", u"c\\"}},
        SplitCase{u"p \"\" x", {u"p", u"", u"x"}},
        SplitCase{u"p \"a\"\"b\"", {u"p", u"a\"b"}},
        SplitCase{u"p \"unclosed arg", {u"p", u"unclosed arg"}},
        SplitCase{u"p --deploymentFile=\"Z:\\tmp\\\\deployment.xml\" -x",
                  {u"p", u"--deploymentFile=Z:\\tmp\\\\deployment.xml", u"-x"}}));

TEST(QuoteArgument, RoundTripsThroughTheSplitter) {
  const Args samples{u"plain", u"", u"a b", u"tab\there", u"q\"uote", u"ends\\", u"sp ace\\", u"\\\\\"", u"a\\b"};
  for (const auto& arg : samples) {
    const auto line = winlayer::join_command_line({u"prog", arg});
    EXPECT_EQ(winlayer::split_command_line(line), (Args{u"prog", arg})) << std::string(line.begin(), line.end());
  }
}

TEST(CommandLineToArgvW, ReturnsOneBlockThatLocalFreeReleases) {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(u"setup.exe \"a b\" c", &count);
  ASSERT_NE(args, nullptr);
  ASSERT_EQ(count, 3);
  EXPECT_EQ(std::u16string(args[1]), u"a b");
  EXPECT_EQ(args[3], nullptr);
  EXPECT_EQ(LocalFree(args), nullptr);
}

TEST(CommandLineToArgvW, EmptyLineGivesTheProgramPath) {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(u"", &count);
  ASSERT_NE(args, nullptr);
  ASSERT_EQ(count, 1);
  WCHAR own[MAX_PATH];
  GetModuleFileNameW(nullptr, own, MAX_PATH);
  EXPECT_EQ(std::u16string(args[0]), std::u16string(own));
  LocalFree(args);
}

TEST(CommandLineToArgvW, NullCountIsAnInvalidParameter) {
  EXPECT_EQ(CommandLineToArgvW(u"a", nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(GetCommandLineW, QuotesTheArgumentsOfAProgramStartedByAShell) {
  // This test binary was started by ctest, so its line is rebuilt from argv and
  // splits back into the same arguments.
  const Args args = winlayer::split_command_line(GetCommandLineW());
  ASSERT_FALSE(args.empty());
  EXPECT_NE(args[0].find(u"platform_core_test"), std::u16string::npos);
}

}  // namespace

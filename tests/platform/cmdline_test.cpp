// Windows' command-line rules, and CommandLineToArgvW over them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "case_name.h"
#include "cmdline.h"
#include "winlayer/winlayer.h"

namespace {

using ::operator<<;
using Args = std::vector<std::u16string>;

// Each row: a command line, what CommandLineToArgvW gives and what the C
// run-time gives (empty: the same). The run-time rows marked below are the
// examples of its documentation.
struct SplitCase {
  const char16_t* line;
  Args shell;
  Args run_time;
};

class SplitCommandLine : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLine, GivesTheArgumentsOfEachSplitter) {
  const SplitCase& c = GetParam();
  EXPECT_EQ(winlayer::split_command_line(c.line, winlayer::Splitter::kShell), c.shell);
  EXPECT_EQ(winlayer::split_command_line(c.line, winlayer::Splitter::kRunTime), c.run_time.empty() ? c.shell : c.run_time);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, SplitCommandLine,
    ::testing::Values(
        SplitCase{u"prog a b", {u"prog", u"a", u"b"}, {}},
        SplitCase{u"prog \t a\t\tb  ", {u"prog", u"a", u"b"}, {}},
        SplitCase{u" prog a", {u"", u"prog", u"a"}, {}},
        SplitCase{u"\"C:\\Program Files\\x.exe\" a", {u"C:\\Program Files\\x.exe", u"a"}, {}},
        // The program name: the shell takes it to the closing quote, the C
        // run-time lets quotes group anywhere in it; backslashes stay in both.
        SplitCase{u"\"C:\\a b\"\\x.exe arg", {u"C:\\a b", u"\\x.exe", u"arg"}, {u"C:\\a b\\x.exe", u"arg"}},
        SplitCase{u"C:\\dir\\\"x a\" b", {u"C:\\dir\\\"x", u"a b"}, {u"C:\\dir\\x a", u"b"}},
        SplitCase{u"p \"a b\" c", {u"p", u"a b", u"c"}, {}},
        SplitCase{u"p a\"b c\"d", {u"p", u"ab cd"}, {}},
        // 2n backslashes before a quote: n backslashes, the quote delimits.
        SplitCase{u"p a\\\\\"b c\"", {u"p", u"a\\b c"}, {}},
        // 2n+1 backslashes before a quote: n backslashes and a literal quote.
        SplitCase{u"p a\\\"b", {u"p", u"a\"b"}, {}},
        SplitCase{u"p a\\\\\\\"b", {u"p", u"a\\\"b"}, {}},
        // Backslashes not before a quote are literal.
        SplitCase{u"p a\\\\b c\\", {u"p", u"a\\\\b", u"c\\"}, {}},
        SplitCase{u"p \"\" x", {u"p", u"", u"x"}, {}},
        // Doubled quotes: the C run-time gives one literal quote and ends the
        // quoted part; the shell knows no such rule, each quote toggles.
        SplitCase{u"p \"a\"\"b\"", {u"p", u"ab"}, {u"p", u"a\"b"}},
        SplitCase{u"p \"a\"\"b c\"", {u"p", u"ab c"}, {u"p", u"a\"b", u"c"}},
        SplitCase{u"p \"unclosed arg", {u"p", u"unclosed arg"}, {}},
        SplitCase{u"p --deploymentFile=\"Z:\\tmp\\\\deployment.xml\" -x",
                  {u"p", u"--deploymentFile=Z:\\tmp\\\\deployment.xml", u"-x"}, {}},
        // The C run-time's documented examples.
        SplitCase{u"p \"a b c\" d e", {u"p", u"a b c", u"d", u"e"}, {}},
        SplitCase{u"p \"ab\\\"c\" \"\\\\\" d", {u"p", u"ab\"c", u"\\", u"d"}, {}},
        SplitCase{u"p a\\\\\\b d\"e f\"g h", {u"p", u"a\\\\\\b", u"de fg", u"h"}, {}},
        SplitCase{u"p a\\\\\\\"b c d", {u"p", u"a\\\"b", u"c", u"d"}, {}},
        SplitCase{u"p a\\\\\\\\\"b c\" d e", {u"p", u"a\\\\b c", u"d", u"e"}, {}},
        SplitCase{u"p a\"b\"\" c d", {u"p", u"ab c d"}, {u"p", u"ab\"", u"c", u"d"}}));

TEST(QuoteArgument, RoundTripsThroughTheSplitter) {
  const Args samples{u"plain", u"", u"a b", u"tab\there", u"q\"uote", u"ends\\", u"sp ace\\", u"\\\\\"", u"a\\b"};
  for (const auto& arg : samples) {
    const auto line = winlayer::join_command_line({u"prog", arg});
    for (const auto rules : {winlayer::Splitter::kShell, winlayer::Splitter::kRunTime}) {
      EXPECT_EQ(winlayer::split_command_line(line, rules), (Args{u"prog", arg})) << std::string(line.begin(), line.end());
    }
  }
}

// Each row: a command line and the arguments CommandLineToArgvW gives, in one
// block that ends with a null pointer and that LocalFree releases.
struct ArgvCase {
  const char* label;
  const char16_t* line;
  Args args;  // empty: the program's own path alone
};

class CommandLineToArgv : public ::testing::TestWithParam<ArgvCase> {};

Args own_path_alone() {
  WCHAR own[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, own, MAX_PATH);
  return {std::u16string(own, length)};
}

TEST_P(CommandLineToArgv, GivesOneBlockOfTheArguments) {
  const Args expected = GetParam().args.empty() ? own_path_alone() : GetParam().args;
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetParam().line, &count);
  ASSERT_NE(args, nullptr);
  ASSERT_EQ(count, static_cast<int>(expected.size()));
  EXPECT_EQ(Args(args, args + count), expected);
  EXPECT_EQ(args[count], nullptr);
  EXPECT_EQ(LocalFree(args), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLineToArgv,
    ::testing::Values(ArgvCase{"QuotedArgument", u"setup.exe \"a b\" c", {u"setup.exe", u"a b", u"c"}},
                      // The shell's rules, not the C run-time's: the program name
                      // ends at its closing quote, and a doubled quote toggles twice.
                      ArgvCase{"ShellsRulesNotTheRunTimes", u"\"C:\\a b\"\\x.exe \"q\"\"q\"",
                               {u"C:\\a b", u"\\x.exe", u"qq"}},
                      ArgvCase{"EmptyLineGivesTheProgramPath", u"", {}}),
    ombrix_test::case_name<ArgvCase>);

TEST(CommandLineToArgvW, NullCountIsAnInvalidParameter) {
  EXPECT_EQ(CommandLineToArgvW(u"a", nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(GetCommandLineW, QuotesTheArgumentsOfAProgramStartedByAShell) {
  // This test binary was started by ctest, so its line is rebuilt from argv and
  // splits back into the same arguments.
  const Args args = winlayer::split_command_line(GetCommandLineW(), winlayer::Splitter::kRunTime);
  ASSERT_FALSE(args.empty());
  EXPECT_NE(args[0].find(u"platform_core_test"), std::u16string::npos);
}

}  // namespace

// The command interpreter's rules for its command line and its built-ins'
// arguments.
#include <gtest/gtest.h>

#include "cmd_rules.h"

namespace {

using winlayer::cmd::BuiltinCall;

struct CommandCase {
  std::u16string line;
  bool found;
  std::u16string command;
};

class CommandAfterSwitches : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandAfterSwitches, IsTheTextAfterSlashC) {
  std::u16string command;
  EXPECT_EQ(winlayer::cmd::command_after_switches(GetParam().line, command), GetParam().found);
  if (GetParam().found) {
    EXPECT_EQ(command, GetParam().command);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandAfterSwitches,
    ::testing::Values(CommandCase{u"cmd /C rd /Q /S \"C:\\a b\"", true, u"rd /Q /S \"C:\\a b\""},
                      CommandCase{u"\"C:\\Win dows\\cmd.exe\" /c del x", true, u"del x"},
                      CommandCase{u"cmd /D /Q /c   del x", true, u"del x"},
                      CommandCase{u"cmd /Cdel x", true, u"del x"},
                      // A quoted command loses its first and its last quote.
                      CommandCase{u"cmd /C \"del \"C:\\a b\"\" tail", true, u"del \"C:\\a b\" tail"},
                      CommandCase{u"cmd", false, u""}, CommandCase{u"cmd del x /C y", false, u""},
                      CommandCase{u"cmd /C", true, u""}));

struct SplitCase {
  std::u16string command;
  BuiltinCall call;
};

class SplitBuiltin : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitBuiltin, SeparatesNameSwitchesAndArguments) {
  const BuiltinCall call = winlayer::cmd::split_builtin(GetParam().command);
  EXPECT_EQ(call.name, GetParam().call.name);
  EXPECT_EQ(call.switches, GetParam().call.switches);
  EXPECT_EQ(call.arguments, GetParam().call.arguments);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitBuiltin,
    ::testing::Values(SplitCase{u"rd /Q /S \"C:\\a b\\payloads\"", {u"rd", {u"Q", u"S"}, {u"C:\\a b\\payloads"}}},
                      SplitCase{u"rd/s/q x", {u"rd", {u"s", u"q"}, {u"x"}}},
                      SplitCase{u"del a,b;c=d \"e,f\"", {u"del", {}, {u"a", u"b", u"c", u"d", u"e,f"}}},
                      SplitCase{u"del\"x y\"", {u"del", {}, {u"x y"}}},
                      SplitCase{u"del C:/temp/x", {u"del", {u"temp", u"x"}, {u"C:"}}},
                      SplitCase{u"  ", {u"", {}, {}}}));

}  // namespace

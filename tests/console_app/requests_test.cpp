// The console answers the shipped movie's requests as its user runs it: each
// request row with the reply the transcript records, the requests it ignores,
// and the calls it makes into the movie.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "console_run.h"
#include "run_checks.h"
#include "windows_path.h"

namespace {
using console_test::ConsoleRun;
using console_test::Lines;
using console_test::reply_of;
using ombrix_test::WindowsPathUtf8;

// {tmp}, {package} and {root}: the Windows forms of the sandbox's folders.
std::string expand(std::string text, const ConsoleRun& run) {
  const std::pair<std::string, std::string> places[] = {{"{tmp}", WindowsPathUtf8(run.box().temp())},
                                                        {"{package}", WindowsPathUtf8(run.box().package())},
                                                        {"{root}", WindowsPathUtf8(run.box().root())}};
  for (const auto& [mark, value] : places) {
    for (std::size_t at; (at = text.find(mark)) != std::string::npos;) text.replace(at, mark.size(), value);
  }
  return text;
}

// A step or a request as the script and the transcript write it: each
// backslash in a quoted operand doubled.
std::string operands(const std::string& text) {
  std::string escaped;
  for (char c : text) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
  return escaped;
}

struct ReplyCase {
  const char* label;
  const char* profile;  // sections after [system]
  Lines steps;          // before the closing step
  // Requests as the transcript writes them (name and operands), each with the
  // reply it must get.
  std::vector<std::pair<std::string, std::string>> replies;
};

class Reply : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(Reply, IsTheOneTheTranscriptRecords) {
  ConsoleRun run;
  run.profile(expand(GetParam().profile, run));
  Lines script;
  for (const auto& step : GetParam().steps) script.push_back(operands(expand(step, run)));
  script.push_back("close");
  const auto result = run.run(script, {}, run.box().root());
  ASSERT_TRUE(ombrix_test::ended_with(result, 0));
  const Lines transcript = run.transcript();
  for (const auto& [request, reply] : GetParam().replies) {
    EXPECT_EQ(reply_of(transcript, operands(expand(request, run))), expand(reply, run)) << request;
  }
}

const char* const kGerman = "[locale]\nui_language = 0x0409\nsystem_language = 0x0407\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, Reply,
    ::testing::Values(
        ReplyCase{"ReadyNotice", "", {}, {{"qevCallBackReady", "<string>This is the returned value from C++ code</string>"}}},
        ReplyCase{"TempPathEndsInABackslash", "", {"send externalAppGetTempPath"},
                  {{"externalAppGetTempPath", "<string>{tmp}\\</string>"}}},
        ReplyCase{"CurrentDirectoryIsTheProgramFolder", "", {"send externalAppGetCurrentDirectory"},
                  {{"externalAppGetCurrentDirectory", "<string>{package}</string>"}}},
        ReplyCase{"UserAppDirectoryFromTheProfile", "[folders]\nappdata = C:\\Users\\tom\\AppData\\Roaming\n",
                  {"send externalAppGetCurrentUserAppDirectory"},
                  {{"externalAppGetCurrentUserAppDirectory", "<string>C:\\Users\\tom\\AppData\\Roaming</string>"}}},
        ReplyCase{"UserAppDirectoryWithAnAmpersandIsEscaped",
                  "[folders]\nappdata = C:\\Users\\Tom & Jerry <TJ>\\AppData\\Roaming\n",
                  {"send externalAppGetCurrentUserAppDirectory"},
                  {{"externalAppGetCurrentUserAppDirectory",
                    "<string>C:\\Users\\Tom &amp; Jerry &lt;TJ&gt;\\AppData\\Roaming</string>"}}},
        ReplyCase{"DecimalSeparatorBeforeAndAfterALocaleRequest", kGerman,
                  {"send externalAppGetDecimalSeparator \"before\"", "send externalAppGetLocale",
                   "send externalAppGetDecimalSeparator \"after\""},
                  {{"externalAppGetDecimalSeparator \"before\"", "<string>,</string>"},
                   {"externalAppGetLocale", "<string>en_US</string>"},
                   {"externalAppGetDecimalSeparator \"after\"", "<string>.</string>"}}},
        ReplyCase{"DecimalSeparatorOfALocaleTheSystemDoesNotKnowIsAPoint", "[locale]\nui_language = 0x7C0C\n",
                  {"send externalAppGetLocale", "send externalAppGetDecimalSeparator"},
                  {{"externalAppGetLocale", "<string>fr_FR</string>"},
                   {"externalAppGetDecimalSeparator", "<string>.</string>"}}}),
    [](const auto& info) { return std::string(info.param.label); });

// The locale name, and the separator of the language that the locale request
// left for the separator request.
struct LocaleCase {
  const char* ui_language;
  const char* locale;
  const char* separator;
};

class Locale : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(Locale, NameAndTheLanguageKeptForTheSeparator) {
  ConsoleRun run;
  run.profile(std::string("[locale]\nui_language = ") + GetParam().ui_language + "\nsystem_language = 0x0407\n");
  const auto result = run.run({"send externalAppGetLocale", "send externalAppGetDecimalSeparator", "close"});
  ASSERT_TRUE(ombrix_test::ended_with(result, 0));
  const Lines transcript = run.transcript();
  EXPECT_EQ(reply_of(transcript, "externalAppGetLocale"), std::string("<string>") + GetParam().locale + "</string>");
  EXPECT_EQ(reply_of(transcript, "externalAppGetDecimalSeparator"),
            std::string("<string>") + GetParam().separator + "</string>");
}

INSTANTIATE_TEST_SUITE_P(
    Table, Locale,
    ::testing::Values(LocaleCase{"0x0809", "en_GB", "."},
                      // Kept as it is: South African English separates with a comma.
                      LocaleCase{"0x0C09", "en_US", "."}, LocaleCase{"0x1C09", "en_US", ","},
                      // Portuguese has no row: English, and language 9 with its point.
                      LocaleCase{"0x0816", "en_US", "."}, LocaleCase{"0x100C", "fr_FR", "."},
                      LocaleCase{"0x0C0C", "fr_CA", ","}, LocaleCase{"0x080A", "es_MX", "."},
                      LocaleCase{"0x0C0A", "es_ES", ","}, LocaleCase{"0x0407", "de_DE", ","},
                      LocaleCase{"0x0410", "it_IT", ","}, LocaleCase{"0x0411", "ja_JP", "."},
                      LocaleCase{"0x0413", "nl_NL", ","}, LocaleCase{"0x041D", "sv_SE", ","},
                      // No interface language: the system's, German.
                      LocaleCase{"0", "de_DE", ","}),
    [](const auto& info) { return "Language" + std::string(info.param.ui_language); });

}  // namespace

namespace {

// Help and folder creation with their operand: the reply, and what is there
// afterwards.
struct OperandCase {
  const char* label;
  const char* step;  // {root}: the sandbox root in Windows form
  const char* request;
  const char* reply;
};

class Operand : public ::testing::TestWithParam<OperandCase> {};

TEST_P(Operand, GivesItsReply) {
  ConsoleRun run;
  const std::string root = run.box().root();
  ombrix_test::write_file(root + "/readme.txt", "help\n");
  ombrix_test::write_file(root + "/readme.xyz", "help\n");
  ombrix_test::write_file(root + "/broken.exe", "no program\n");  // not executable: access denied
  ombrix_test::make_folder(root + "/there");
  run.profile("[associations]\n.txt = Z:\\bin\\true\n");
  const auto result = run.run({operands(expand(GetParam().step, run)), "close"});
  ASSERT_TRUE(ombrix_test::ended_with(result, 0));
  EXPECT_EQ(reply_of(run.transcript(), operands(expand(GetParam().request, run))), GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Operand,
    ::testing::Values(
        OperandCase{"HelpOnAnAssociatedFile", "send externalShowHelp \"{root}\\readme.txt\"",
                    "externalShowHelp \"{root}\\readme.txt\"", "<number>0</number>"},
        OperandCase{"HelpOnAMissingFile", "send externalShowHelp \"{root}\\missing.txt\"",
                    "externalShowHelp \"{root}\\missing.txt\"", "<number>1</number>"},
        OperandCase{"HelpInAMissingFolder", "send externalShowHelp \"{root}\\nowhere\\readme.txt\"",
                    "externalShowHelp \"{root}\\nowhere\\readme.txt\"", "<number>1</number>"},
        OperandCase{"HelpOnATypeWithoutAnAssociation", "send externalShowHelp \"{root}\\readme.xyz\"",
                    "externalShowHelp \"{root}\\readme.xyz\"", "<number>2</number>"},
        OperandCase{"HelpThatCannotStart", "send externalShowHelp \"{root}\\broken.exe\"",
                    "externalShowHelp \"{root}\\broken.exe\"", "<number>-1</number>"},
        OperandCase{"FolderNewAndNested", "send externalAppCreateFolder \"{root}\\made\\a\\b\"",
                    "externalAppCreateFolder \"{root}\\made\\a\\b\"", "<true/>"},
        OperandCase{"FolderThatExists", "send externalAppCreateFolder \"{root}\\there\"",
                    "externalAppCreateFolder \"{root}\\there\"", "<true/>"},
        OperandCase{"FolderBelowAFile", "send externalAppCreateFolder \"{root}\\readme.txt\\sub\"",
                    "externalAppCreateFolder \"{root}\\readme.txt\\sub\"", "<false/>"}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(LongOperand, ThatDoesNotFitTheBufferGivesHelpTwoAndFolderFalse) {
  ConsoleRun run;
  const std::string path = "Z:\\\\" + std::string(300, 'a') + ".txt";  // as the script writes it
  const auto result = run.run({"send externalShowHelp \"" + path + "\"",
                               "send externalAppCreateFolder \"" + path + "\"", "close"});
  ASSERT_TRUE(ombrix_test::ended_with(result, 0));
  const Lines transcript = run.transcript();
  EXPECT_EQ(reply_of(transcript, "externalShowHelp \"" + path + "\""), "<number>2</number>");
  EXPECT_EQ(reply_of(transcript, "externalAppCreateFolder \"" + path + "\""), "<false/>");
}

TEST(CreateFolder, MakesEveryMissingFolderOnTheWay) {
  ConsoleRun run;
  const auto result = run.run({operands(expand("send externalAppCreateFolder \"{root}\\made\\a\\b\"", run)), "close"});
  ASSERT_FALSE(result.timed_out);
  EXPECT_TRUE(std::filesystem::is_directory(run.box().root() + "/made/a/b"));
}

// Requests that get no reply and change nothing; the next request is answered.
struct IgnoredCase {
  const char* label;
  const char* step;
  const char* request;
};

class Ignored : public ::testing::TestWithParam<IgnoredCase> {};

TEST_P(Ignored, GetsNoReplyAndTheConsoleAnswersOn) {
  ConsoleRun run;
  const auto result = run.run({GetParam().step, "send externalAppGetLocale", "close"});
  ASSERT_TRUE(ombrix_test::ended_with(result, 0));
  const Lines transcript = run.transcript();
  EXPECT_EQ(reply_of(transcript, GetParam().request), "no reply");
  EXPECT_EQ(reply_of(transcript, "externalAppGetLocale"), "<string>en_US</string>");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Ignored,
    ::testing::Values(IgnoredCase{"NameInAnotherCase", "send externalappgetlocale", "externalappgetlocale"},
                      // Names are compared whole.
                      IgnoredCase{"HandledNameAndMore", "send externalAppGetLocaleX", "externalAppGetLocaleX"},
                      IgnoredCase{"HandledNameWithoutItsLastLetter", "send externalAppGetLocal",
                                  "externalAppGetLocal"},
                      IgnoredCase{"UnknownName", "send externalAppGetVersion", "externalAppGetVersion"},
                      IgnoredCase{"HelpWithANumber", "send externalShowHelp 3", "externalShowHelp 3"},
                      IgnoredCase{"FolderWithABoolean", "send externalAppCreateFolder true",
                                  "externalAppCreateFolder true"},
                      IgnoredCase{"HelpWithoutOperand", "send externalShowHelp", "externalShowHelp"},
                      IgnoredCase{"FolderWithoutOperand", "send externalAppCreateFolder", "externalAppCreateFolder"}),
    [](const auto& info) { return std::string(info.param.label); });

// The wheel: one call into the movie per turn, true for a turn towards the user.
TEST(Wheel, CallsTheMovieWithTheDirection) {
  ConsoleRun run;
  const auto result = run.run({"wheel -120", "wheel 120", "wheel 0", "close"});
  ASSERT_TRUE(ombrix_test::ended_with(result, 0));
  EXPECT_EQ(console_test::starting_with(run.calls(), "invoke ContainerAppDoScroll"),
            (Lines{"invoke ContainerAppDoScroll true", "invoke ContainerAppDoScroll false",
                   "invoke ContainerAppDoScroll false"}));
}

// The calls into the movie in order: the later call only after the ready
// notice's reply; on close the quit call with its one argument; the movie's
// exit ends the program after the framework has ended once.
TEST(Calls, ReadyThenTheLaterCallThenQuitAndExit) {
  ConsoleRun run;
  const auto result = run.run({"close"});
  ASSERT_TRUE(ombrix_test::ended_with(result, 0));
  EXPECT_EQ(run.calls(), (Lines{"request qevCallBackReady -> <string>This is the returned value from C++ code</string>",
                                "invoke testFunction1", "invoke qevCallBackQuitApp \"QuitApp\"",
                                "request externalAppExit -> no reply"}));
  EXPECT_EQ(console_test::count_of(run.transcript(), "terminate"), 1);
}

}  // namespace

namespace {

// Folders whose paths do not fit the 260-character buffer: no reply, and the
// console answers on.
TEST(LongFolder, GetsNoReply) {
  ConsoleRun run;
  std::string tmp = run.box().root();
  for (const char c : {'a', 'b', 'c'}) tmp += "/" + std::string(100, c);
  ombrix_test::make_folder(tmp);
  run.profile("[folders]\nappdata = C:\\" + std::string(270, 'd') + "\n");
  const auto result = run.run({"send externalAppGetTempPath", "send externalAppGetCurrentUserAppDirectory",
                               "send externalAppGetLocale", "close"},
                              {{"TMP", tmp}});
  ASSERT_TRUE(ombrix_test::ended_with(result, 0));
  const Lines transcript = run.transcript();
  EXPECT_EQ(reply_of(transcript, "externalAppGetTempPath"), "no reply");
  EXPECT_EQ(reply_of(transcript, "externalAppGetCurrentUserAppDirectory"), "no reply");
  EXPECT_EQ(reply_of(transcript, "externalAppGetLocale"), "<string>en_US</string>");
}

// A temporary folder whose name holds "&" and "<", as TMP may give it.
TEST(TempFolder, WithAnAmpersandAndALessThanSignIsEscaped) {
  ConsoleRun run;
  const std::string tmp = run.box().root() + "/Tom & Jerry <1>";
  ombrix_test::make_folder(tmp);
  const auto result = run.run({"send externalAppGetTempPath", "close"}, {{"TMP", tmp}});
  ASSERT_FALSE(result.timed_out);
  EXPECT_EQ(reply_of(run.transcript(), "externalAppGetTempPath"),
            "<string>" + WindowsPathUtf8(run.box().root()) + "\\Tom &amp; Jerry &lt;1&gt;\\</string>");
}

}  // namespace

// The built cmd, started as the runner starts it (through CreateProcessW with
// the exact command line): what rd and del remove, what they print and the exit
// codes they end with.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "case_name.h"
#include "layer_run.h"
#include "sandbox.h"
#include "temp_folder.h"
#include "text.h"
#include "windows_path.h"

namespace {
namespace fs = std::filesystem;
using ::operator<<;  // cases print by their label
using ombrix_test::WindowsPathUtf8;

// A folder with an installation image: payloads/ with a file below a sub-folder,
// empty/ and Setup.exe.
class Cmd : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(image() + "/payloads/sub");
    fs::create_directories(image() + "/empty");
    ombrix_test::write_file(image() + "/payloads/sub/data.bin", "x");
    ombrix_test::write_file(image() + "/Setup.exe", "x");
  }

  std::string image() const { return root_ + "/In Stall"; }
  // Runs "cmd /C " and the command; {placeholder} stands for the image's
  // Windows path.
  layer_test::LayerRun cmd(std::string command, const std::string& input = "") {
    for (std::size_t at; (at = command.find("{image}")) != std::string::npos;) {
      command.replace(at, 7, WindowsPathUtf8(image()));
    }
    return layer_test::run_on_layer(winlayer::utf8_to_utf16("cmd /C " + command), root_, input);
  }
  bool exists(const std::string& relative) const { return fs::exists(image() + "/" + relative); }

  const ombrix_test::TempFolder folder_{"cmd-test"};
  const std::string root_ = folder_.path();
};

struct Case {
  const char* label;
  const char* command;
  DWORD code;
  const char* output;  // {image} as in the command
  const char* gone;    // what the command removes, or ""
};

class CmdCommand : public Cmd, public ::testing::WithParamInterface<Case> {};

TEST_P(CmdCommand, RemovesPrintsAndEndsAsTheInterpreterDoes) {
  const Case& c = GetParam();
  const layer_test::LayerRun run = cmd(c.command);
  ASSERT_TRUE(run.started) << run.error;
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.code, c.code);
  std::string output = c.output;
  if (const auto at = output.find("{image}"); at != std::string::npos) output.replace(at, 7, WindowsPathUtf8(image()));
  EXPECT_EQ(run.output, output);
  for (const char* entry : {"payloads", "empty", "Setup.exe"}) {
    EXPECT_EQ(exists(entry), std::string(c.gone) != entry) << entry;
  }
}

const Case kCases[] = {
    {"RdRemovesATree", "rd /Q /S \"{image}\\payloads\"", 0, "", "payloads"},
    {"RdMatchesNamesWithoutCase", "RD /s /q \"{image}\\PAYLOADS\"", 0, "", "payloads"},
    {"RdOnAMissingFolder", "rd /Q /S \"{image}\\redist\"", 2, "The system cannot find the file specified.\r\n", ""},
    {"RdBelowAMissingFolder", "rd /Q /S \"{image}\\none\\redist\"", 3,
     "The system cannot find the path specified.\r\n", ""},
    {"RdOnAFile", "rd /Q /S \"{image}\\Setup.exe\"", 267, "The directory name is invalid.\r\n", ""},
    {"RdWithoutSOnAFullFolder", "rd \"{image}\\payloads\"", 145, "The directory is not empty.\r\n", ""},
    {"RdWithoutSOnAnEmptyFolder", "rmdir \"{image}\\empty\"", 0, "", "empty"},
    {"RdWithAnUnknownSwitch", "rd /X \"{image}\\payloads\"", 1, "Invalid switch - \"X\".\r\n", ""},
    {"RdWithoutAFolder", "rd /Q /S", 1, "The syntax of the command is incorrect.\r\n", ""},
    {"DelRemovesAFileOfAnotherCase", "del \"{image}\\\\setup.exe\"", 0, "", "Setup.exe"},
    {"DelOnAMissingFile", "del \"{image}\\\\WinBootstrapper.msi\"", 0,
     "Could Not Find {image}\\WinBootstrapper.msi\r\n", ""},
    {"DelBelowAMissingFolder", "erase \"{image}\\none\\x.cab\"", 1, "The system cannot find the path specified.\r\n",
     ""},
    {"AnUnknownCommand", "format c:", 9009,
     "'format' is not recognized as an internal or external command,\r\noperable program or batch file.\r\n", ""},
    {"AQuotedCommand", "\"rd /Q /S \"{image}\\payloads\"\"", 0, "", "payloads"},
};

INSTANTIATE_TEST_SUITE_P(Cases, CmdCommand, ::testing::ValuesIn(kCases), ombrix_test::case_name<Case>);

struct PromptCase {
  const char* command;
  const char* answer;
  const char* question;  // after the image's path
  bool removed;
};

class CmdPrompt : public Cmd, public ::testing::WithParamInterface<PromptCase> {};

TEST_P(CmdPrompt, AsksWithoutQAndActsOnTheAnswer) {
  const layer_test::LayerRun run = cmd(GetParam().command, GetParam().answer);
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.code, 0u);
  EXPECT_EQ(run.output, WindowsPathUtf8(image()) + GetParam().question + ", Are you sure (Y/N)? ");
  EXPECT_EQ(exists("payloads/sub/data.bin"), !GetParam().removed);
}

INSTANTIATE_TEST_SUITE_P(Cases, CmdPrompt,
                         ::testing::Values(PromptCase{"rd /S \"{image}\\payloads\"", "y\n", "\\payloads", true},
                                           PromptCase{"rd /S \"{image}\\payloads\"", "n\n", "\\payloads", false},
                                           PromptCase{"rd /S \"{image}\\payloads\"", "", "\\payloads", false},
                                           PromptCase{"del \"{image}\\payloads\\sub\"", "Y\n", "\\payloads\\sub\\*",
                                                      true}));

// A read-only file stays without /F, with the interpreter's message, and goes
// with it.
struct ReadOnlyCase {
  const char* label;
  const char* command;
  DWORD code;
  const char* output;  // {file} for the read-only file's Windows path
  bool removed;
};

class CmdReadOnly : public Cmd, public ::testing::WithParamInterface<ReadOnlyCase> {};

TEST_P(CmdReadOnly, DelLeavesAReadOnlyFileUnlessForced) {
  const std::string file = image() + "/payloads/sub/data.bin";
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  const layer_test::LayerRun run = cmd(GetParam().command);
  ASSERT_TRUE(run.ended);
  EXPECT_EQ(run.code, GetParam().code);
  std::string output = GetParam().output;
  if (const auto at = output.find("{file}"); at != std::string::npos) {
    output.replace(at, 6, WindowsPathUtf8(image()) + "\\payloads\\sub\\data.bin");
  }
  EXPECT_EQ(run.output, output);
  EXPECT_EQ(exists("payloads/sub/data.bin"), !GetParam().removed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CmdReadOnly,
    ::testing::Values(
        ReadOnlyCase{"File", "del \"{image}\\payloads\\sub\\data.bin\"", 1, "{file}\r\nAccess is denied.\r\n", false},
        ReadOnlyCase{"FileInAFolder", "del /Q \"{image}\\payloads\\sub\"", 1, "{file}\r\nAccess is denied.\r\n",
                     false},
        ReadOnlyCase{"Forced", "del /F \"{image}\\payloads\\sub\\data.bin\"", 0, "", true},
        ReadOnlyCase{"ForcedInAFolder", "del /F /Q \"{image}\\payloads\\sub\"", 0, "", true}),
    ombrix_test::case_name<ReadOnlyCase>);

TEST_F(Cmd, DelOnAFolderRemovesItsFilesOnly) {
  const layer_test::LayerRun run = cmd("del /Q \"{image}\\payloads\\sub\"");
  EXPECT_EQ(run.code, 0u);
  EXPECT_TRUE(exists("payloads/sub"));
  EXPECT_FALSE(exists("payloads/sub/data.bin"));
}

TEST_F(Cmd, WithoutSlashCReportsTheSyntaxAndEndsWith1) {
  const layer_test::LayerRun run = layer_test::run_on_layer(u"cmd rd x", root_);
  EXPECT_EQ(run.code, 1u);
  EXPECT_EQ(run.output, "The syntax of the command is incorrect.\r\n");
}

}  // namespace

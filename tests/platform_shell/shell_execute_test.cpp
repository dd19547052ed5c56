// ShellExecuteW "open": the associated program started with the file, and the
// results for missing files and folders and for types without an association.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "case_name.h"
#include "run_checks.h"
#include "sandbox.h"
#include "shell_machine.h"
#include "win32.h"
#include "windows_path.h"

namespace {
namespace fs = std::filesystem;
using ::operator<<;
using shell_test::machine;
using ombrix_test::read_file;
using ombrix_test::WindowsPath;
using ombrix_test::WindowsPathUtf8;

std::intptr_t result_of(HINSTANCE instance) { return reinterpret_cast<std::intptr_t>(instance); }

// The opened program's command line; empty when none came within ten seconds.
std::string command_line_recorded_in(const std::string& record) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!fs::exists(record) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return read_file(record);
}

// Files of each kind in a folder of the machine; the opened program records
// its command line in a file of the test.
class Open : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = machine.root + "/open/" + info->name();
    fs::create_directories(folder_ + "/folder");
    for (const char* name : {"notes.txt", "NOTES.TXT", "data.zzz", "README", "page.md", "q\" \"--inj.txt"}) {
      ombrix_test::write_file(folder_ + "/" + name, "x");
    }
    record_ = folder_ + "/record";
    ::setenv("SHELL_OPENED_RECORD", record_.c_str(), 1);
  }
  void TearDown() override { fs::remove_all(folder_); }

  std::intptr_t open(const std::u16string& file, const char16_t* operation = u"open") {
    SetLastError(0);
    const std::intptr_t result = result_of(ShellExecuteW(nullptr, operation, file.c_str(), nullptr, nullptr, SW_SHOW));
    last_error_ = GetLastError();
    return result;
  }

  std::string recorded_command_line() const { return command_line_recorded_in(record_); }

  std::string folder_;
  std::string record_;
  DWORD last_error_ = 0;
};

TEST_F(Open, StartsTheAssociatedProgramWithTheFilesPath) {
  EXPECT_GT(open(WindowsPath(folder_ + "/notes.txt")), 32);
  const std::string expected =
      "\"" + WindowsPathUtf8(SHELL_OPENED) + "\" \"" + WindowsPathUtf8(folder_ + "/notes.txt") + "\"";
  EXPECT_EQ(recorded_command_line(), expected);
  EXPECT_NE(read_file(machine.root + "/trace.log").find("process started: show=SW_SHOW command line=" + expected),
            std::string::npos);
}

TEST_F(Open, MatchesTheExtensionInAnyCaseAndTakesANullOperation) {
  EXPECT_GT(open(WindowsPath(folder_ + "/NOTES.TXT"), nullptr), 32);
  EXPECT_NE(recorded_command_line().find("NOTES.TXT"), std::string::npos);
}

TEST_F(Open, RelativeFileReachesTheProgramAsAFullPath) {
  const fs::path previous = fs::current_path();
  fs::current_path(folder_);
  const std::intptr_t result = open(u"notes.txt");
  fs::current_path(previous);
  EXPECT_GT(result, 32);
  EXPECT_NE(recorded_command_line().find("\"" + WindowsPathUtf8(folder_ + "/notes.txt") + "\""), std::string::npos);
}

TEST_F(Open, RelativeFileInACurrentFolderWithAQuoteStartsNothing) {
  const std::string quoted_folder = folder_ + "/a\" \"b";
  fs::create_directories(quoted_folder);
  ombrix_test::write_file(quoted_folder + "/notes.txt", "x");
  const fs::path previous = fs::current_path();
  fs::current_path(quoted_folder);
  const std::intptr_t result = open(u"notes.txt");
  fs::current_path(previous);
  EXPECT_EQ(result, SE_ERR_FNF);
  EXPECT_EQ(last_error_, static_cast<DWORD>(ERROR_INVALID_NAME));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(fs::exists(record_));
}

TEST_F(Open, ProgramFileIsStartedItselfWithTheParameters) {
  for (const std::string name : {"tool.exe", "Tool.EXE"}) {
    SCOPED_TRACE(name);
    fs::remove(record_);
    fs::copy_file(SHELL_OPENED, folder_ + "/" + name);
    const std::u16string program = WindowsPath(folder_ + "/" + name);
    EXPECT_GT(result_of(ShellExecuteW(nullptr, u"open", program.c_str(), u"--page 3", nullptr, SW_SHOWNORMAL)), 32);
    EXPECT_EQ(recorded_command_line(), "\"" + WindowsPathUtf8(folder_ + "/" + name) + "\" --page 3");
  }
}

TEST_F(Open, StartingFolderThatIsNoFolderIsPathNotFound) {
  const std::u16string file = WindowsPath(folder_ + "/notes.txt");
  const std::u16string start_in = WindowsPath(folder_ + "/absent");
  SetLastError(0);
  EXPECT_EQ(result_of(ShellExecuteW(nullptr, u"open", file.c_str(), nullptr, start_in.c_str(), SW_SHOW)), SE_ERR_PNF);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
}

// A machine whose profile names a program for folders.
TEST(OpenFolder, StartsTheProgramForFoldersWhenTheProfileNamesOne) {
  ombrix_test::Sandbox sandbox;
  sandbox.write_profile("[associations]\nfolder = " + WindowsPathUtf8(SHELL_OPENED) + "\n");
  const std::string record = sandbox.root() + "/record";
  const std::string folder = sandbox.root() + "/opened folder";
  fs::create_directories(folder);
  const ombrix_test::RunResult run =
      sandbox.run(SHELL_PROBE, {"open", WindowsPathUtf8(folder)}, {{"SHELL_OPENED_RECORD", record}}, 20);
  ASSERT_TRUE(ombrix_test::ended_with(run, 0));
  EXPECT_EQ(run.out, "above32=1\n");
  EXPECT_EQ(command_line_recorded_in(record),
            "\"" + WindowsPathUtf8(SHELL_OPENED) + "\" \"" + WindowsPathUtf8(folder) + "\"");
}

struct FailureCase {
  std::string label;
  std::string file;  // below the test's folder; empty: no name at all
  std::u16string operation;
  std::intptr_t result;
  DWORD error;
};

class OpenFailure : public Open, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(OpenFailure, GivesTheResultAndStartsNothing) {
  const std::u16string file = GetParam().file.empty() ? u"" : WindowsPath(folder_ + "/" + GetParam().file);
  EXPECT_EQ(open(file, GetParam().operation.c_str()), GetParam().result);
  EXPECT_EQ(last_error_, GetParam().error);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(fs::exists(record_));
}

INSTANTIATE_TEST_SUITE_P(
    Results, OpenFailure,
    ::testing::Values(
        FailureCase{"missing_file", "absent.txt", u"open", SE_ERR_FNF, ERROR_FILE_NOT_FOUND},
        FailureCase{"missing_folder", "absent/notes.txt", u"open", SE_ERR_PNF, ERROR_PATH_NOT_FOUND},
        FailureCase{"no_name", "", u"open", SE_ERR_FNF, ERROR_FILE_NOT_FOUND},
        FailureCase{"type_without_association", "data.zzz", u"open", SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION},
        FailureCase{"no_extension", "README", u"open", SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION},
        FailureCase{"folder_without_association", "folder", u"open", SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION},
        FailureCase{"other_operation", "notes.txt", u"print", SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION},
        FailureCase{"associated_program_missing", "page.md", u"open", SE_ERR_FNF, ERROR_FILE_NOT_FOUND},
        // A name Windows forbids, which would end the file's quoted argument.
        FailureCase{"quote_in_the_name", "q\" \"--inj.txt", u"open", SE_ERR_FNF, ERROR_INVALID_NAME}),
    ombrix_test::case_name<FailureCase>);

}  // namespace

// CreateProcessW, WaitForSingleObject, GetExitCodeProcess and CloseHandle, with
// this test binary as the parent on the layer and the suite's child program
// (or shell scripts, for children not built on the layer).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "case_name.h"
#include "child_record.h"
#include "layer_run.h"
#include "process_machine.h"
#include "sandbox.h"
#include "text.h"
#include "windows_path.h"
#include "win32.h"

namespace {
namespace fs = std::filesystem;
using ::operator<<;  // cases print by their label
using ombrix_test::WindowsPath;

void write_text(const std::string& path, const std::string& text, fs::perms perms = fs::perms::owner_all) {
  fs::create_directories(fs::path(path).parent_path());
  ombrix_test::write_file(path, text);
  fs::permissions(path, perms);
}

void copy_child(const std::string& to) {
  fs::create_directories(fs::path(to).parent_path());
  fs::copy_file(TEST_CHILD, to, fs::copy_options::overwrite_existing);
}

// The test process's machine: the profile, the trace, and the system and
// Windows folders of the search.
const ombrix_test::ProcessMachine machine("process", [](const std::string& root) {
  return "[system]\ntrace = " + root + "/trace.log\nsystem = " + root + "/system\nwindows = Z:" + root +
         "/windows\n";
});

// What the child recorded.
using Record = layer_test::ChildRecord;

Record read_record(const std::string& path) { return layer_test::parse_child_record(ombrix_test::read_file(path)); }

// How a test starts a child.
struct Start {
  std::u16string command_line;
  const char16_t* application = nullptr;
  const char16_t* folder = nullptr;
  void* environment = nullptr;
  DWORD creation_flags = 0;
  DWORD startup_flags = STARTF_USESHOWWINDOW;
  WORD show = SW_SHOWNORMAL;
};

class Process : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("TEST_CHILD_RECORD", record_path().c_str(), 1);
    ::unsetenv("TEST_CHILD_END");
  }
  void TearDown() override {
    for (auto& handle : open_) CloseHandle(handle);
  }

  std::string record_path() const { return machine.root + "/record"; }
  std::u16string child() const { return WindowsPath(TEST_CHILD); }
  std::u16string quoted_child() const { return u"\"" + child() + u"\""; }

  // CreateProcessW; on failure the error, on success 0 and the handles kept.
  DWORD start(const Start& s) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = s.startup_flags;
    startup.wShowWindow = s.show;
    std::u16string writable = s.command_line;
    info_ = {};
    if (!CreateProcessW(s.application, writable.data(), nullptr, nullptr, FALSE, s.creation_flags, s.environment,
                        s.folder, &startup, &info_)) {
      return GetLastError();
    }
    open_ = {info_.hProcess, info_.hThread};
    return 0;
  }

  // Waits at most ten seconds for the started child and gives its exit code.
  DWORD finish() {
    EXPECT_EQ(WaitForSingleObject(info_.hProcess, 10000), WAIT_OBJECT_0);
    DWORD code = STILL_ACTIVE;
    EXPECT_TRUE(GetExitCodeProcess(info_.hProcess, &code));
    return code;
  }

  DWORD run(const Start& s) {
    const DWORD error = start(s);
    EXPECT_EQ(error, 0u);
    return error == 0 ? finish() : error;
  }

  // What a run wrote to this process's standard output and error, which a
  // shown child shares.
  std::string output_of(const Start& s) {
    layer_test::CapturedStreams streams(machine.root);
    run(s);
    return streams.text();
  }

  Record run_and_read(const Start& s) {
    EXPECT_EQ(run(s), 0u);
    return read_record(record_path());
  }

  PROCESS_INFORMATION info_ = {};
  std::vector<HANDLE> open_;
};

// --- the command line and the argument vector -------------------------------

struct ArgvCase {
  std::u16string tail;
  std::vector<std::string> argv;  // after argv[0]
};

class ChildArguments : public Process, public ::testing::WithParamInterface<ArgvCase> {};

TEST_P(ChildArguments, AreTheExactCommandLineAndTheCRuntimeSplit) {
  const std::u16string line = quoted_child() + u" " + GetParam().tail;
  const Record r = run_and_read({line});
  EXPECT_EQ(r.command_line, winlayer::utf16_to_utf8(line));
  std::vector<std::string> expected{winlayer::utf16_to_utf8(child())};
  expected.insert(expected.end(), GetParam().argv.begin(), GetParam().argv.end());
  EXPECT_EQ(r.argv, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChildArguments,
    ::testing::Values(ArgvCase{u"a b", {"a", "b"}}, ArgvCase{u"\"b c\" d", {"b c", "d"}},
                      ArgvCase{u"a\t  b", {"a", "b"}}, ArgvCase{u"a\\\"b", {"a\"b"}},
                      ArgvCase{u"\"a\\\\\" x", {"a\\", "x"}}, ArgvCase{u"a\\\\b", {"a\\\\b"}},
                      ArgvCase{u"\"say \"\"hi\"\"\"", {"say \"hi\""}}, ArgvCase{u"\"\" x", {"", "x"}},
                      ArgvCase{u"--deploymentFile=\"Z:\\t m p\\\\deployment.xml\"",
                               {"--deploymentFile=Z:\\t m p\\\\deployment.xml"}}));

// --- the head of the command line ---------------------------------------------

struct HeadCase {
  bool planted;     // a program at the folder's shorter prefix
  bool quoted;
  bool planted_runs;
};

class UnquotedHead : public Process, public ::testing::WithParamInterface<HeadCase> {};

TEST_P(UnquotedHead, TriesTheShorterPrefixesFirst) {
  const std::string base = machine.root + "/heads";
  fs::remove_all(base);
  copy_child(base + "/Program Files/app/Setup.exe");
  if (GetParam().planted) copy_child(base + "/Program.exe");
  const std::u16string setup = WindowsPath(base + "/Program Files/app/Setup.exe");
  const std::u16string line = (GetParam().quoted ? u"\"" + setup + u"\"" : setup) + u" --mode=Silent";
  const Record r = run_and_read({line});
  const std::string runs = GetParam().planted_runs ? base + "/Program.exe" : base + "/Program Files/app/Setup.exe";
  EXPECT_EQ(r.module, winlayer::utf16_to_utf8(WindowsPath(runs)));
  // The C run-time splits an unquoted head at its first blank all the same.
  EXPECT_EQ(r.argv.front(), winlayer::utf16_to_utf8(GetParam().quoted ? setup : WindowsPath(base + "/Program")));
}

INSTANTIATE_TEST_SUITE_P(Cases, UnquotedHead,
                         ::testing::Values(HeadCase{true, false, true}, HeadCase{true, true, false},
                                           HeadCase{false, false, false}));

// --- the program search ----------------------------------------------------------

// The five places a plain name is looked for, in Windows' order.
std::vector<std::string> search_folders() {
  return {fs::read_symlink("/proc/self/exe").parent_path().string(), machine.root + "/cwd",
          machine.root + "/system", machine.root + "/windows", machine.root + "/path"};
}

class SearchOrder : public Process, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    Process::SetUp();
    name_ = "search_probe_" + std::to_string(::getpid());
    for (const auto& folder : search_folders()) fs::create_directories(folder);
    ::chdir((machine.root + "/cwd").c_str());
    ::setenv("PATH", (machine.root + "/path:" + std::getenv("PATH")).c_str(), 1);
  }
  void TearDown() override {
    Process::TearDown();
    for (const auto& folder : search_folders()) fs::remove(folder + "/" + name_);
  }
  std::string name_;
};

TEST_P(SearchOrder, TakesTheFirstFolderThatHoldsTheName) {
  const auto folders = search_folders();
  for (std::size_t i = GetParam(); i < folders.size(); ++i) copy_child(folders[i] + "/" + name_);
  const Record r = run_and_read({winlayer::utf8_to_utf16(name_) + u" x"});
  EXPECT_EQ(r.module, winlayer::utf16_to_utf8(WindowsPath(folders[GetParam()] + "/" + name_)));
}

INSTANTIATE_TEST_SUITE_P(Folders, SearchOrder, ::testing::Range(0, 5));

struct ExtensionCase {
  std::vector<std::string> files;
  std::u16string name;
  std::string runs;
};

class Extension : public Process, public ::testing::WithParamInterface<ExtensionCase> {};

TEST_P(Extension, ExeIsAddedToANameWithoutOne) {
  const std::string folder = machine.root + "/ext";
  fs::remove_all(folder);
  for (const auto& file : GetParam().files) copy_child(folder + "/" + file);
  const Record r = run_and_read({WindowsPath(folder) + u"\\" + GetParam().name});
  EXPECT_EQ(r.module, winlayer::utf16_to_utf8(WindowsPath(folder + "/" + GetParam().runs)));
}

INSTANTIATE_TEST_SUITE_P(Cases, Extension,
                         ::testing::Values(ExtensionCase{{"tool.exe", "tool"}, u"tool", "tool.exe"},
                                           ExtensionCase{{"tool"}, u"tool", "tool"},
                                           ExtensionCase{{"tool.exe", "tool"}, u"tool.exe", "tool.exe"},
                                           ExtensionCase{{"Setup.exe"}, u"setup.EXE", "Setup.exe"}));

struct FailureCase {
  const char* label;
  std::string (*prepare)(const std::string& root);  // the command line's head, a Linux path or a name
  DWORD error;
};

std::string missing_name(const std::string&) { return "no_such_program_anywhere"; }
std::string missing_file(const std::string& root) { return root + "/nothere.exe"; }
std::string missing_folder(const std::string& root) { return root + "/nofolder/x.exe"; }
std::string not_executable(const std::string& root) {
  write_text(root + "/plain.exe", "#!/bin/sh\n", fs::perms::owner_read | fs::perms::owner_write);
  return root + "/plain.exe";
}
std::string not_a_program(const std::string& root) {
  write_text(root + "/garbage.exe", "garbage\n");
  return root + "/garbage.exe";
}

// Programs whose names Windows forbids, present on Linux: one searched for in
// the current folder, one named with its folder.
std::string forbidden_name_searched(const std::string& root) {
  copy_child(root + "/cwd/pipe|probe");
  EXPECT_EQ(::chdir((root + "/cwd").c_str()), 0);
  return "pipe|probe";
}
std::string forbidden_name_with_folder(const std::string& root) {
  copy_child(root + "/forbidden/what?.exe");
  return root + "/forbidden/what?.exe";
}

class StartFailure : public Process, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(StartFailure, GivesTheWindowsError) {
  const std::string head = GetParam().prepare(machine.root);
  const std::u16string line = head[0] == '/' ? WindowsPath(head) : winlayer::utf8_to_utf16(head);
  EXPECT_EQ(start({line + u" arg"}), GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(Cases, StartFailure,
                         ::testing::Values(FailureCase{"missing_name", missing_name, ERROR_FILE_NOT_FOUND},
                                           FailureCase{"missing_file", missing_file, ERROR_FILE_NOT_FOUND},
                                           FailureCase{"missing_folder", missing_folder, ERROR_PATH_NOT_FOUND},
                                           FailureCase{"not_executable", not_executable, ERROR_ACCESS_DENIED},
                                           FailureCase{"not_a_program", not_a_program, ERROR_BAD_FORMAT},
                                           FailureCase{"forbidden_name_searched", forbidden_name_searched,
                                                       ERROR_INVALID_NAME},
                                           FailureCase{"forbidden_name_with_folder", forbidden_name_with_folder,
                                                       ERROR_INVALID_NAME}),
                         ombrix_test::case_name<FailureCase>);

TEST_F(Process, RefusesAStartWithoutProgramOrRecords) {
  STARTUPINFOW startup = {};
  PROCESS_INFORMATION info = {};
  EXPECT_FALSE(CreateProcessW(nullptr, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  std::u16string line = quoted_child();
  EXPECT_FALSE(CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

// --- the other arguments of CreateProcessW ------------------------------------

TEST_F(Process, TakesTheApplicationNameAsItStands) {
  const std::u16string app = child();
  const Record r = run_and_read({u"anything \"x y\"", app.c_str()});
  EXPECT_EQ(r.module, winlayer::utf16_to_utf8(app));
  EXPECT_EQ(r.command_line, "anything \"x y\"");
  EXPECT_EQ(r.argv, (std::vector<std::string>{"anything", "x y"}));
  const std::u16string shortened = app.substr(0, app.size() - 1);
  EXPECT_EQ(start({u"x", shortened.c_str()}), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(Process, StartsTheChildInTheGivenFolder) {
  fs::create_directories(machine.root + "/Work Folder");
  const std::u16string folder = WindowsPath(machine.root + "/WORK FOLDER");
  const Record r = run_and_read({quoted_child(), nullptr, folder.c_str()});
  EXPECT_EQ(r.cwd, machine.root + "/Work Folder");
  const std::u16string missing = WindowsPath(machine.root + "/none");
  EXPECT_EQ(start({quoted_child(), nullptr, missing.c_str()}), static_cast<DWORD>(ERROR_DIRECTORY));
}

TEST_F(Process, GivesTheChildTheEnvironmentBlock) {
  ::unsetenv("TEST_CHILD_RECORD");
  const std::u16string block = u"TEST_CHILD_RECORD=" + winlayer::utf8_to_utf16(record_path()) +
                               std::u16string(1, u'\0') + u"TEST_CHILD_END=5" + std::u16string(2, u'\0');
  Start s{quoted_child()};
  s.environment = const_cast<char16_t*>(block.data());
  s.creation_flags = CREATE_UNICODE_ENVIRONMENT;
  EXPECT_EQ(run(s), 5u);
  EXPECT_EQ(read_record(record_path()).command_line, winlayer::utf16_to_utf8(quoted_child()));
}

// --- show flags -------------------------------------------------------------------

struct ShowCase {
  DWORD flags;
  WORD show;
  bool output_shown;
  const char* traced;
};

class ShowFlag : public Process, public ::testing::WithParamInterface<ShowCase> {};

TEST_P(ShowFlag, HidesOrShowsTheChildsOutputAndIsTraced) {
  Start s{quoted_child() + u" shown?"};
  s.startup_flags = GetParam().flags;
  s.show = GetParam().show;
  EXPECT_EQ(output_of(s), GetParam().output_shown ? "child out\r\nchild err\r\n" : "");
  const std::string trace = ombrix_test::read_file(machine.root + "/trace.log");
  EXPECT_NE(trace.find(std::string("process started: show=") + GetParam().traced + " command line=" +
                       winlayer::utf16_to_utf8(s.command_line) + "\n"),
            std::string::npos)
      << trace;
}

INSTANTIATE_TEST_SUITE_P(Cases, ShowFlag,
                         ::testing::Values(ShowCase{STARTF_USESHOWWINDOW, SW_HIDE, false, "SW_HIDE"},
                                           ShowCase{STARTF_USESHOWWINDOW, SW_SHOWNORMAL, true, "SW_SHOWNORMAL"},
                                           ShowCase{0, SW_HIDE, true, "default"}),
                         [](const auto& info) { return std::string(info.param.traced); });

// --- waits and handles ---------------------------------------------------------

TEST_F(Process, WaitTimesOutWhileTheChildRunsAndEndsWithIt) {
  ::setenv("TEST_CHILD_END", "wait", 1);
  ASSERT_EQ(start({quoted_child()}), 0u);
  EXPECT_EQ(WaitForSingleObject(info_.hProcess, 50), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForSingleObject(info_.hThread, 0), WAIT_TIMEOUT);
  DWORD code = 0;
  EXPECT_TRUE(GetExitCodeProcess(info_.hProcess, &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  ::kill(static_cast<pid_t>(info_.dwProcessId), SIGKILL);
  EXPECT_EQ(WaitForSingleObject(info_.hThread, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(finish(), 1u);  // as TerminateProcess is usually called
}

TEST_F(Process, HandlesAreCheckedAndClosedOnce) {
  ASSERT_EQ(start({quoted_child()}), 0u);
  DWORD code = 0;
  EXPECT_FALSE(GetExitCodeProcess(info_.hThread, &code));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(finish(), 0u);
  EXPECT_TRUE(CloseHandle(info_.hProcess));
  EXPECT_TRUE(CloseHandle(info_.hThread));
  open_.clear();
  EXPECT_FALSE(CloseHandle(info_.hProcess));
  EXPECT_EQ(WaitForSingleObject(info_.hProcess, 0), WAIT_FAILED);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

// --- exit codes -----------------------------------------------------------------

struct CodeCase {
  const char* end;
  DWORD code;
};

class ChildExitCode : public Process, public ::testing::WithParamInterface<CodeCase> {};

TEST_P(ChildExitCode, IsTheWholeCodeOrTheStatusCodeOfItsEnd) {
  ::setenv("TEST_CHILD_END", GetParam().end, 1);
  EXPECT_EQ(run({quoted_child()}), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChildExitCode,
    ::testing::Values(CodeCase{"0", 0}, CodeCase{"3", 3}, CodeCase{"255", 255}, CodeCase{"3010", 3010},
                      CodeCase{"1641", 1641}, CodeCase{"1618", 1618}, CodeCase{"0x80070005", 0x80070005u},
                      CodeCase{"-2", 0xFFFFFFFEu}, CodeCase{"segv", 0xC0000005u}, CodeCase{"bus", 0xC0000005u},
                      CodeCase{"ill", 0xC000001Du}, CodeCase{"fpe", 0xC0000094u}, CodeCase{"abort", 3}),
    [](const auto& info) {
      std::string name = info.param.end;
      for (auto& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
      }
      return name;
    });

struct ScriptCase {
  const char* body;
  DWORD code;
};

class ForeignChildExitCode : public Process, public ::testing::WithParamInterface<ScriptCase> {};

TEST_P(ForeignChildExitCode, IsItsExitStatusOrItsSignalsCode) {
  const std::string script = machine.root + "/script.sh";
  write_text(script, std::string("#!/bin/sh\n") + GetParam().body + "\n");
  EXPECT_EQ(run({WindowsPath(script)}), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Cases, ForeignChildExitCode,
                         ::testing::Values(ScriptCase{"exit 7", 7}, ScriptCase{"exit 255", 255},
                                           ScriptCase{"kill -TERM $$", 1}, ScriptCase{"kill -KILL $$", 1},
                                           ScriptCase{"kill -SEGV $$", 0xC0000005u}));

// A foreign child passes the channel entries on to its own children; they are
// not theirs, so a layer grandchild neither takes the command line nor reports.
TEST_F(Process, AForeignChildsChildrenIgnoreTheChannel) {
  const std::string script = machine.root + "/relay.sh";
  write_text(script, std::string("#!/bin/sh\nTEST_CHILD_END=3010 '") + TEST_CHILD + "' one 'two three'\nexit $?\n");
  EXPECT_EQ(run({WindowsPath(script) + u" ignored"}), 3010u & 0xFFu);
  const Record r = read_record(record_path());
  // The command line the grandchild rebuilt from its own arguments.
  EXPECT_EQ(r.command_line, std::string(TEST_CHILD) + " one \"two three\"");
}

}  // namespace

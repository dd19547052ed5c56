// Layer functions that report the machine from its profile: the IsWow64Process
// lookup and result, the Windows folder, and the Program Files special folder
// with its creation. The layer reads the profile once per process, so each case
// runs the probe program under its own profile.
#include <gtest/gtest.h>

#include "case_name.h"

#include <ostream>
#include <string>
#include <vector>

#include "run_checks.h"
#include "sandbox.h"

namespace {

using ombrix_test::RunResult;
using ombrix_test::Sandbox;

class Machine : public ::testing::Test {
 protected:
  // The probe's one line of output under a profile with the given [system] keys.
  std::string probe(const std::string& system_keys, const std::vector<std::string>& args) {
    box_.write_profile(system_keys + "[drives]\nC = " + drive_c() + "\n");
    const RunResult r = box_.run(std::string(OMBRIX_TEST_BIN_DIR) + "/layer_probe", args, {}, 30);
    EXPECT_TRUE(ombrix_test::ended_with(r, 0));
    return r.out;
  }
  std::string drive_c() const { return box_.root() + "/c"; }
  Sandbox box_;
};

using ombrix_test::case_name;
using ::operator<<;  // cases print by their label

struct Wow64Case {
  const char* label;
  const char* system_keys;
  const char* output;
};

class IsWow64Process : public Machine, public ::testing::WithParamInterface<Wow64Case> {};

TEST_P(IsWow64Process, IsFoundAndAnswersAsTheProfileSays) {
  EXPECT_EQ(probe(GetParam().system_keys, {"iswow64process"}), GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, IsWow64Process,
    ::testing::Values(Wow64Case{"Wow64", "wow64 = true\n", "returned=1 wow64=1\n"},
                      Wow64Case{"Native32", "wow64 = false\n", "returned=1 wow64=0\n"},
                      Wow64Case{"DefaultMachine", "", "returned=1 wow64=1\n"},
                      // An old 32-bit Windows has no such export: ERROR_PROC_NOT_FOUND.
                      Wow64Case{"OldWindows", "iswow64process = false\nwow64 = true\n", "missing error=127\n"}),
    case_name<Wow64Case>);

struct WindowsCase {
  const char* label;
  const char* system_keys;
  const char* size;
  const char* output;
};

class GetWindowsDirectory : public Machine, public ::testing::WithParamInterface<WindowsCase> {};

TEST_P(GetWindowsDirectory, GivesTheFolderWithoutItsTrailingBackslash) {
  EXPECT_EQ(probe(GetParam().system_keys, {"windows", GetParam().size}), GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, GetWindowsDirectory,
    ::testing::Values(WindowsCase{"OtherFolder", "windows = D:\\WinNT\n", "260", "returned=8 text=D:\\WinNT\n"},
                      WindowsCase{"TrailingBackslash", "windows = C:\\Windows\\\n", "260",
                                  "returned=10 text=C:\\Windows\n"},
                      WindowsCase{"RootKeepsIt", "windows = E:\\\n", "260", "returned=3 text=E:\\\n"},
                      WindowsCase{"DefaultMachine", "", "260", "returned=10 text=C:\\Windows\n"},
                      WindowsCase{"JustFitsWithItsNul", "", "11", "returned=10 text=C:\\Windows\n"},
                      // Too small: the size needed with the NUL, the buffer untouched.
                      WindowsCase{"TooSmall", "", "10", "returned=11 text=#\n"}),
    case_name<WindowsCase>);

struct FolderCase {
  const char* label;
  const char* system_keys;
  const char* create;
  const char* output;
  const char* created;  // the folder below drive C that must exist afterwards, or null
};

class SpecialFolderPath : public Machine, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(SpecialFolderPath, GivesTheProfileFolderAndCreatesItWhenAsked) {
  EXPECT_EQ(probe(GetParam().system_keys, {"programfiles", GetParam().create}), GetParam().output);
  if (GetParam().created != nullptr) {
    EXPECT_TRUE(ombrix_test::file_exists(drive_c() + "/" + GetParam().created));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, SpecialFolderPath,
    ::testing::Values(
        FolderCase{"DefaultMachineCreated", "", "1", "returned=1 error=0 text=C:\\Program Files (x86)\n",
                   "Program Files (x86)"},
        FolderCase{"ParentsCreated", "program_files = C:\\Apps\\Deep\\Programs\n", "1",
                   "returned=1 error=0 text=C:\\Apps\\Deep\\Programs\n", "Apps/Deep/Programs"},
        FolderCase{"TrailingBackslashKept", "program_files = C:\\Program Files (x86)\\\n", "1",
                   "returned=1 error=0 text=C:\\Program Files (x86)\\\n", "Program Files (x86)"},
        FolderCase{"UnmappedDriveWithoutCreating", "program_files = D:\\Programs\n", "0",
                   "returned=1 error=0 text=D:\\Programs\n", nullptr},
        // A drive the profile does not map cannot hold the folder.
        FolderCase{"UnmappedDriveCreating", "program_files = Q:\\Programs\n", "1", "returned=0 error=3 text=#\n",
                   nullptr}),
    case_name<FolderCase>);

TEST_F(SpecialFolderPath, WithoutTheCreateFlagCreatesNothing) {
  EXPECT_EQ(probe("", {"programfiles", "0"}), "returned=1 error=0 text=C:\\Program Files (x86)\n");
  EXPECT_FALSE(ombrix_test::file_exists(drive_c() + "/Program Files (x86)"));
}

TEST_F(SpecialFolderPath, FindsTheExistingFolderInAnyCase) {
  ombrix_test::make_folder(drive_c() + "/program files (X86)");
  ombrix_test::write_file(drive_c() + "/program files (X86)/kept", "x");
  EXPECT_EQ(probe("", {"programfiles", "1"}), "returned=1 error=0 text=C:\\Program Files (x86)\n");
  EXPECT_FALSE(ombrix_test::file_exists(drive_c() + "/Program Files (x86)"));
  EXPECT_EQ(ombrix_test::read_file(drive_c() + "/program files (X86)/kept"), "x");
}

TEST_F(SpecialFolderPath, AFileInThePlaceOfTheFolderFailsWithAlreadyExists) {
  ombrix_test::make_folder(drive_c());
  ombrix_test::write_file(drive_c() + "/Program Files (x86)", "not a folder");
  EXPECT_EQ(probe("", {"programfiles", "1"}), "returned=0 error=183 text=#\n");
  EXPECT_EQ(ombrix_test::read_file(drive_c() + "/Program Files (x86)"), "not a folder");
}

TEST_F(SpecialFolderPath, APathMustFitMaxPathWithItsNul) {
  const std::string longest = "C:\\" + std::string(256, 'p');  // 259 characters
  EXPECT_EQ(probe("program_files = " + longest + "\n", {"programfiles", "0"}),
            "returned=1 error=0 text=" + longest + "\n");
  EXPECT_EQ(probe("program_files = " + longest + "q\n", {"programfiles", "0"}), "returned=0 error=122 text=#\n");
}

}  // namespace

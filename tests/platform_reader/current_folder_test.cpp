// Paths as a program on drive C: gives them: relative to its current folder,
// rooted on the current drive, with names as Windows normalises them; and the
// drive C: that the layer provides when the profile maps none. Each case runs the
// probe program in a folder of drive C: under the test's profile.
#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include "case_name.h"
#include "folder_in_the_way.h"
#include "run_checks.h"
#include "sandbox.h"

namespace {

using ombrix_test::RunResult;
using ombrix_test::Sandbox;
using ombrix_test::case_name;
using ::operator<<;  // cases print by their label

// Drive C: is <box>/c with the package in C:\Deploy, the current folder.
class CurrentFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    ombrix_test::make_folder(drive_c() + "/Deploy/kit");
    ombrix_test::write_file(drive_c() + "/Deploy/kit/Setup.exe", "x");
    box_.write_profile("[drives]\nC = " + drive_c() + "\n");
  }
  std::string probe(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {}) {
    const RunResult r = box_.run(std::string(OMBRIX_TEST_BIN_DIR) + "/layer_probe", args, env, 30,
                                 drive_c() + "/Deploy");
    EXPECT_TRUE(ombrix_test::ended_with(r, 0));
    return r.out;
  }
  std::string drive_c() const { return box_.root() + "/c"; }
  Sandbox box_;
};

struct FullPathCase {
  const char* label;
  const char* name;
  const char* output;
};

class FullPathOnDriveC : public CurrentFolder, public ::testing::WithParamInterface<FullPathCase> {};

TEST_P(FullPathOnDriveC, ResolvesAgainstTheCurrentFolderAndDrive) {
  EXPECT_EQ(probe({"fullpath", GetParam().name}), GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(
    Names, FullPathOnDriveC,
    ::testing::Values(
        FullPathCase{"Relative", "kit\\Setup.exe", "returned=23 text=C:\\Deploy\\kit\\Setup.exe part=Setup.exe\n"},
        FullPathCase{"ClimbsAboveTheCurrentFolder", "..\\tmp", "returned=6 text=C:\\tmp part=tmp\n"},
        FullPathCase{"RootedOnTheCurrentDrive", "\\deployment.xml",
                     "returned=17 text=C:\\deployment.xml part=deployment.xml\n"},
        FullPathCase{"AnotherDriveAtItsRoot", "D:x", "returned=4 text=D:\\x part=x\n"},
        FullPathCase{"TheCurrentDriveAlone", "c:", "returned=9 text=C:\\Deploy part=Deploy\n"},
        FullPathCase{"TrailingDotsAndBlanksTrimmed", "kit.\\Setup.exe. ",
                     "returned=23 text=C:\\Deploy\\kit\\Setup.exe part=Setup.exe\n"},
        FullPathCase{"TrailingBackslashKept", "kit\\", "returned=14 text=C:\\Deploy\\kit\\ part=(null)\n"}),
    case_name<FullPathCase>);

struct NameCase {
  const char* label;
  const char* name;
  const char* output;
};

class NamesOnDriveC : public CurrentFolder, public ::testing::WithParamInterface<NameCase> {};

TEST_P(NamesOnDriveC, FindTheFileAsWindowsNamesIt) {
  EXPECT_EQ(probe({"exists", GetParam().name}), GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(
    Names, NamesOnDriveC,
    ::testing::Values(NameCase{"Relative", "kit\\setup.exe", "returned=1 error=0\n"},
                      NameCase{"UpAndDownAgain", "..\\Deploy\\kit\\Setup.exe", "returned=1 error=0\n"},
                      NameCase{"RootedOnTheCurrentDrive", "\\Deploy\\kit\\Setup.exe", "returned=1 error=0\n"},
                      NameCase{"TrailingBlank", "kit\\Setup.exe ", "returned=1 error=0\n"},
                      NameCase{"TrailingDot", "kit\\Setup.exe.", "returned=1 error=0\n"},
                      NameCase{"FolderWithATrailingDot", "kit.\\Setup.exe", "returned=1 error=0\n"},
                      NameCase{"FolderWithATrailingBackslash", "kit\\", "returned=1 error=0\n"},
                      // A file named with a trailing backslash is no valid name.
                      NameCase{"FileWithATrailingBackslash", "kit\\Setup.exe\\", "returned=0 error=123\n"},
                      NameCase{"MissingWithATrailingBackslash", "kit\\Other.exe\\", "returned=0 error=2\n"}),
    case_name<NameCase>);

TEST_F(CurrentFolder, AFileRootedWithoutADriveIsCreatedOnTheCurrentDrive) {
  EXPECT_EQ(probe({"create", "\\deployment.xml"}), "opened=1 error=0\n");
  EXPECT_TRUE(ombrix_test::file_exists(drive_c() + "/deployment.xml"));
}

TEST_F(CurrentFolder, AFileNamedWithATrailingBackslashIsNotOpened) {
  EXPECT_EQ(probe({"create", "kit\\Setup.exe\\"}), "opened=0 error=123\n");
  EXPECT_EQ(ombrix_test::read_file(drive_c() + "/Deploy/kit/Setup.exe"), "x");
}

TEST_F(CurrentFolder, ARelativeTemporaryFolderIsMadeFull) {
  for (const char* tmp : {"..\\tmp", "../tmp", "..\\tmp\\"}) {
    SCOPED_TRACE(tmp);
    EXPECT_EQ(probe({"temppath"}, {{"TMP", tmp}}), "returned=7 text=C:\\tmp\\\n");
  }
}

// Without a [drives] entry for C the layer gives drive C: a folder of the user's
// own: beside the profile, or in the user's data folder without a profile.
class LayersOwnDriveC : public ::testing::Test {
 protected:
  std::string programfiles(const std::map<std::string, std::string>& env) {
    const RunResult r = box_.run(std::string(OMBRIX_TEST_BIN_DIR) + "/layer_probe", {"programfiles", "1"}, env, 30);
    EXPECT_TRUE(ombrix_test::ended_with(r, 0));
    return r.out;
  }
  Sandbox box_;
};

TEST_F(LayersOwnDriveC, LiesBesideTheProfileAndIsMadeOnFirstUse) {
  box_.write_profile();
  EXPECT_FALSE(ombrix_test::file_exists(box_.profile_path() + ".drive-c"));
  EXPECT_EQ(programfiles({}), "returned=1 error=0 text=C:\\Program Files (x86)\n");
  EXPECT_TRUE(ombrix_test::file_exists(box_.profile_path() + ".drive-c/Program Files (x86)"));
}

TEST_F(LayersOwnDriveC, WithoutAProfileLiesInTheUsersDataFolder) {
  const std::string home = box_.root() + "/home";
  ombrix_test::make_folder(home);
  EXPECT_EQ(programfiles({{"WINLAYER_MACHINE", ""}, {"HOME", home}, {"XDG_DATA_HOME", ""}}),
            "returned=1 error=0 text=C:\\Program Files (x86)\n");
  EXPECT_TRUE(ombrix_test::file_exists(home + "/.local/share/winlayer/drive-c/Program Files (x86)"));
}

// What another user could have put at the path of the layer's own drive C:.
class RefusedDriveC : public LayersOwnDriveC, public ::testing::WithParamInterface<ombrix_test::FolderInTheWay> {};

TEST_P(RefusedDriveC, IsRefusedAndNothingIsWrittenThroughIt) {
  if (GetParam().needs_root && ::geteuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
  box_.write_profile();
  const std::string drive = box_.profile_path() + ".drive-c";
  const std::string elsewhere = box_.root() + "/elsewhere";
  ombrix_test::make_folder(elsewhere);
  GetParam().make(drive, elsewhere);
  const RunResult r = box_.run(std::string(OMBRIX_TEST_BIN_DIR) + "/layer_probe", {"create", "C:\\x.txt"}, {}, 30);
  EXPECT_EQ(r.out, "opened=0 error=5\n");
  const std::string folder = programfiles({});
  EXPECT_EQ(folder.substr(0, folder.find(" text=")), "returned=0 error=5");
  EXPECT_FALSE(ombrix_test::file_exists(elsewhere + "/x.txt"));
  EXPECT_FALSE(ombrix_test::file_exists(elsewhere + "/Program Files (x86)"));
}

INSTANTIATE_TEST_SUITE_P(InThePlaceOfTheFolder, RefusedDriveC, ::testing::ValuesIn(ombrix_test::folders_in_the_way()),
                         case_name<ombrix_test::FolderInTheWay>);

}  // namespace

// SHCreateDirectoryExW and SHGetSpecialFolderPathW(CSIDL_APPDATA): folders made
// with their parents, what stands in the way, and paths the function refuses.
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <filesystem>
#include <string>

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

// A fresh folder of the machine for each test.
class CreateDirectory : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = machine.root + "/create/" + info->name();
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  int create(const std::u16string& path) {
    SetLastError(12345);
    const int result = SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
    last_error_ = GetLastError();
    return result;
  }

  std::string folder_;
  DWORD last_error_ = 0;
};

TEST_F(CreateDirectory, MakesTheFolderWithItsMissingParents) {
  EXPECT_EQ(create(ombrix_test::WindowsPath(folder_ + "/a/b/c")), ERROR_SUCCESS);
  EXPECT_EQ(last_error_, static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_TRUE(fs::is_directory(folder_ + "/a/b/c"));
}

TEST_F(CreateDirectory, TakesATrailingBackslashAndForwardSlashes) {
  EXPECT_EQ(create(ombrix_test::WindowsPath(folder_ + "/a/b") + u"\\"), ERROR_SUCCESS);
  std::u16string forward = ombrix_test::WindowsPath(folder_ + "/c/d");
  for (char16_t& c : forward) {
    if (c == u'\\') c = u'/';
  }
  EXPECT_EQ(create(forward), ERROR_SUCCESS);
  EXPECT_TRUE(fs::is_directory(folder_ + "/a/b"));
  EXPECT_TRUE(fs::is_directory(folder_ + "/c/d"));
}

TEST_F(CreateDirectory, ExistingFolderIsAlreadyExists) {
  fs::create_directories(folder_ + "/there");
  EXPECT_EQ(create(ombrix_test::WindowsPath(folder_ + "/there")), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(last_error_, static_cast<DWORD>(ERROR_ALREADY_EXISTS));
}

TEST_F(CreateDirectory, FileWithTheFoldersNameIsFileExists) {
  ombrix_test::write_file(folder_ + "/taken", "x");
  EXPECT_EQ(create(ombrix_test::WindowsPath(folder_ + "/taken")), ERROR_FILE_EXISTS);
  EXPECT_TRUE(fs::is_regular_file(folder_ + "/taken"));
}

TEST_F(CreateDirectory, FileWhereAParentShouldBeIsPathNotFound) {
  ombrix_test::write_file(folder_ + "/file", "x");
  EXPECT_EQ(create(ombrix_test::WindowsPath(folder_ + "/file/sub/leaf")), ERROR_PATH_NOT_FOUND);
  EXPECT_TRUE(fs::is_regular_file(folder_ + "/file"));
}

TEST_F(CreateDirectory, LongestPathFitsAndOneMoreIsTooLong) {
  const std::u16string base = ombrix_test::WindowsPath(folder_) + u"\\";
  const std::u16string longest = base + std::u16string(247 - base.size(), u'n');
  EXPECT_EQ(create(longest + u"m"), ERROR_FILENAME_EXCED_RANGE);
  EXPECT_EQ(create(longest), ERROR_SUCCESS);
}

TEST_F(CreateDirectory, MakesFoldersOnAShare) {
  fs::create_directories(machine.root + "/share");
  EXPECT_EQ(create(u"\\\\fileserver\\data\\made\\x\\y"), ERROR_SUCCESS);
  EXPECT_TRUE(fs::is_directory(machine.root + "/share/made/x/y"));
}

struct RefusedCase {
  std::string label;
  std::u16string path;
  int result;
};

class RefusedPath : public CreateDirectory, public ::testing::WithParamInterface<RefusedCase> {};

// Run from the test's folder, so that a relative path made there would show.
TEST_P(RefusedPath, GivesTheErrorAndCreatesNothing) {
  const fs::path previous = fs::current_path();
  fs::current_path(folder_);
  EXPECT_EQ(create(GetParam().path), GetParam().result);
  fs::current_path(previous);
  EXPECT_EQ(last_error_, static_cast<DWORD>(GetParam().result));
  EXPECT_TRUE(fs::is_empty(folder_));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, RefusedPath,
    ::testing::Values(RefusedCase{"relative", u"a\\b", ERROR_BAD_PATHNAME},
                      RefusedCase{"relative_on_a_drive", u"Z:a", ERROR_BAD_PATHNAME},
                      RefusedCase{"empty", u"", ERROR_BAD_PATHNAME},
                      RefusedCase{"unmapped_drive", u"Q:\\folder", ERROR_PATH_NOT_FOUND},
                      RefusedCase{"unknown_server", u"\\\\nobody\\data\\folder", ERROR_BAD_NETPATH},
                      RefusedCase{"unknown_share", u"\\\\fileserver\\other\\folder", ERROR_BAD_NET_NAME},
                      RefusedCase{"forbidden_character", u"Z:\\tmp\\a<b", ERROR_INVALID_NAME},
                      RefusedCase{"colon_in_a_name", u"Z:\\tmp\\a:b", ERROR_INVALID_NAME}),
    ombrix_test::case_name<RefusedCase>);

TEST(CreateDirectoryArguments, NullPathIsABadPathName) {
  EXPECT_EQ(SHCreateDirectoryExW(nullptr, nullptr, nullptr), ERROR_BAD_PATHNAME);
}

// The machine's application data folder is <root>/appdata/Roaming.
TEST(AppData, IsTheProfilesFolderAndIsMadeOnlyWhenAsked) {
  const std::string folder = machine.root + "/appdata/Roaming";
  WCHAR buffer[MAX_PATH] = {};
  ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_APPDATA, FALSE));
  EXPECT_EQ(std::u16string(buffer), ombrix_test::WindowsPath(folder));
  EXPECT_FALSE(fs::exists(folder));
  ASSERT_TRUE(SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_APPDATA, TRUE));
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_EQ(std::u16string(buffer), ombrix_test::WindowsPath(folder));
}

TEST(AppData, DefaultsToTheUsersRoamingFolderOnDriveC) {
  ombrix_test::Sandbox sandbox;
  sandbox.write_profile();
  const ombrix_test::RunResult run = sandbox.run(SHELL_PROBE, {"appdata"}, {}, 20);
  ASSERT_TRUE(ombrix_test::ended_with(run, 0));
  const passwd* account = ::getpwuid(::getuid());
  ASSERT_NE(account, nullptr);
  EXPECT_EQ(run.out, "returned=1 text=C:\\Users\\" + std::string(account->pw_name) + "\\AppData\\Roaming\n");
}

}  // namespace

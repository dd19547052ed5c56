// Kernel, shell and automation-string functions of the layer's core.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "sandbox.h"
#include "temp_folder.h"
#include "windows_path.h"
#include "winlayer/winlayer.h"

namespace {

// Sets or clears an environment variable for one test.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~ScopedEnv() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

std::u16string temp_path_w() {
  WCHAR buffer[MAX_PATH];
  const DWORD n = GetTempPathW(MAX_PATH, buffer);
  return std::u16string(buffer, n);
}

struct TempCase {
  const char* tmp;
  const char* temp;
  const char* tmpdir;
  const char16_t* expected;
};

class GetTempPath : public ::testing::TestWithParam<TempCase> {};

TEST_P(GetTempPath, FollowsTmpTempTmpdirThenSlashTmp) {
  ScopedEnv tmp("TMP", GetParam().tmp), temp("TEMP", GetParam().temp), tmpdir("TMPDIR", GetParam().tmpdir);
  EXPECT_EQ(temp_path_w(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rule, GetTempPath,
    ::testing::Values(TempCase{"/tmp/run1", "/other", "/x", u"Z:\\tmp\\run1\\"},
                      TempCase{"/tmp/run1/", nullptr, nullptr, u"Z:\\tmp\\run1\\"},
                      TempCase{nullptr, "C:\\Temp", "/x", u"C:\\Temp\\"},
                      TempCase{"", "D:\\T\\", nullptr, u"D:\\T\\"},
                      TempCase{nullptr, nullptr, "/var/tmp", u"Z:\\var\\tmp\\"},
                      TempCase{nullptr, nullptr, nullptr, u"Z:\\tmp\\"}));

TEST(GetTempPathSizes, ReportsTheSizeNeededWhenTheBufferIsTooSmall) {
  ScopedEnv tmp("TMP", "/tmp/run1");
  WCHAR small[4] = {u'#', u'#', u'#', u'#'};
  EXPECT_EQ(GetTempPathW(4, small), 13u);  // "Z:\tmp\run1\" and its NUL
  EXPECT_EQ(small[0], u'#');
  char narrow[1000] = {};
  EXPECT_EQ(GetTempPathA(sizeof narrow, narrow), 12u);
  EXPECT_STREQ(narrow, "Z:\\tmp\\run1\\");
}

TEST(GetModuleFileNameW, GivesTheProgramFileAsAWindowsPath) {
  WCHAR path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::u16string text(path, n);
  EXPECT_EQ(text.rfind(u"Z:\\", 0), 0u);
  EXPECT_NE(text.find(u"\\platform_core_test"), std::u16string::npos);
  EXPECT_EQ(text.find(u'/'), std::u16string::npos);
}

TEST(GetModuleFileNameW, TruncatesIntoASmallBuffer) {
  WCHAR full[MAX_PATH];
  GetModuleFileNameW(nullptr, full, MAX_PATH);
  WCHAR path[5];
  EXPECT_EQ(GetModuleFileNameW(nullptr, path, 5), 5u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(std::u16string(path), std::u16string(full).substr(0, 4));
}

class FileFunctions : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(folder_.file("folder"));
    ombrix_test::write_file(folder_.file("file.txt"), "x");
  }
  std::u16string win(const std::string& name) const { return ombrix_test::WindowsPath(folder_.file(name)); }
  const ombrix_test::TempFolder folder_{"kernel-test"};
};

TEST_F(FileFunctions, PathFileExistsSeesFilesAndFolders) {
  EXPECT_TRUE(PathFileExistsW(win("file.txt").c_str()));
  EXPECT_TRUE(PathFileExistsW(win("folder").c_str()));
  EXPECT_FALSE(PathFileExistsW(win("missing.txt").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(PathFileExistsW(win("missing\\x.txt").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(PathFileExistsW(u""));
}

struct DeleteCase {
  const char* name;
  BOOL result;
  DWORD error;
};

class DeleteFile : public FileFunctions, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteFile, GivesWindowsResultsAndErrors) {
  SetLastError(0);
  EXPECT_EQ(DeleteFileW(win(GetParam().name).c_str()), GetParam().result);
  if (!GetParam().result) {
    EXPECT_EQ(GetLastError(), GetParam().error);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, DeleteFile,
                         ::testing::Values(DeleteCase{"file.txt", TRUE, 0}, DeleteCase{"FILE.TXT", TRUE, 0},
                                           DeleteCase{"missing.txt", FALSE, ERROR_FILE_NOT_FOUND},
                                           DeleteCase{"nodir\\file.txt", FALSE, ERROR_PATH_NOT_FOUND},
                                           DeleteCase{"folder", FALSE, ERROR_ACCESS_DENIED}));

TEST(DeleteFileEmptyPath, IsAPathNotFound) {
  EXPECT_FALSE(DeleteFileW(u""));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST(SysAllocStringLen, CopiesTheCharactersAndTerminates) {
  const char16_t text[] = u"abcdef";
  BSTR s = SysAllocStringLen(text, 3);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(std::u16string(s), u"abc");
  EXPECT_EQ(SysStringLen(s), 3u);
  SysFreeString(s);
  BSTR empty = SysAllocStringLen(u"", 0);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty[0], u'\0');
  SysFreeString(empty);
  BSTR zeroed = SysAllocStringLen(nullptr, 2);
  ASSERT_NE(zeroed, nullptr);
  EXPECT_EQ(zeroed[0], u'\0');
  EXPECT_EQ(SysStringLen(zeroed), 2u);
  SysFreeString(zeroed);
  SysFreeString(nullptr);
}

TEST(SysAllocStringLen, KeepsEmbeddedNuls) {
  const char16_t text[] = {u'a', u'\0', u'b'};
  BSTR s = SysAllocStringLen(text, 3);
  EXPECT_EQ(std::u16string(s, SysStringLen(s)), std::u16string(text, 3));
  SysFreeString(s);
}

TEST(CloseHandle, RefusesHandlesItDidNotGive) {
  int not_a_handle = 0;
  EXPECT_FALSE(CloseHandle(&not_a_handle));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(CloseHandle(GetCurrentProcess()));
}

}  // namespace

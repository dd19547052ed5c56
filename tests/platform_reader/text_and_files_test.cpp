// Layer functions that do not depend on the machine profile: module handles and
// exports, the current process, UTF-16 to UTF-8 conversion, _wfopen by Windows
// paths, and the argument checks of SHGetSpecialFolderPathW.
#include <gtest/gtest.h>

#include "case_name.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>
#include <utility>

#include "sandbox.h"
#include "windows_path.h"
#include "winlayer/winlayer.h"

namespace {

using ombrix_test::case_name;
using ::operator<<;  // cases print by their label

struct ModuleCase {
  const char* label;
  const char16_t* name;
  bool found;
};

class GetModuleHandle : public ::testing::TestWithParam<ModuleCase> {};

TEST_P(GetModuleHandle, KnowsTheKernelByAnySpellingOfItsName) {
  SetLastError(0);
  const HMODULE module = GetModuleHandleW(GetParam().name);
  EXPECT_EQ(module != nullptr, GetParam().found);
  if (GetParam().found) {
    EXPECT_EQ(module, GetModuleHandleW(u"kernel32"));
  } else {
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  }
}

INSTANTIATE_TEST_SUITE_P(Names, GetModuleHandle,
                         ::testing::Values(ModuleCase{"kernel32", u"kernel32", true},
                                           ModuleCase{"KERNEL32_DLL", u"KERNEL32.DLL", true},
                                           ModuleCase{"Kernel32_dll", u"Kernel32.dll", true},
                                           ModuleCase{"kernel", u"kernel", false},
                                           ModuleCase{"kernel32_exe", u"kernel32.exe", false},
                                           ModuleCase{"user32", u"user32", false}),
                         case_name<ModuleCase>);

TEST(GetModuleHandle, NullNameIsTheProgramNotTheKernel) {
  const HMODULE program = GetModuleHandleW(nullptr);
  ASSERT_NE(program, nullptr);
  EXPECT_NE(program, GetModuleHandleW(u"kernel32"));
}

TEST(GetProcAddress, UnknownExportsAreProcNotFound) {
  for (const HMODULE module : {GetModuleHandleW(u"kernel32"), GetModuleHandleW(nullptr)}) {
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(module, "NoSuchFunction"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  }
  // Export names are case-sensitive.
  EXPECT_EQ(GetProcAddress(GetModuleHandleW(u"kernel32"), "iswow64process"), nullptr);
}

TEST(GetCurrentProcess, IsThePseudoHandleMinusOne) {
  EXPECT_EQ(GetCurrentProcess(), reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)));
}

TEST(IsWow64Process, RefusesAHandleThatIsNotAProcess) {
  int not_a_process = 0;
  BOOL wow64 = 7;
  EXPECT_FALSE(IsWow64Process(&not_a_process, &wow64));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(wow64, 7);
}

// ---- WideCharToMultiByte with CP_UTF8 ----

std::string to_utf8(const std::u16string& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                       nullptr);
  std::string bytes(static_cast<std::size_t>(size), '\0');
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                                nullptr),
            size);
  return bytes;
}

struct Utf8Case {
  const char* label;
  std::u16string text;
  std::string bytes;
};

class WideCharToUtf8 : public ::testing::TestWithParam<Utf8Case> {};

TEST_P(WideCharToUtf8, ConvertsAsWindowsDoes) { EXPECT_EQ(to_utf8(GetParam().text), GetParam().bytes); }

INSTANTIATE_TEST_SUITE_P(
    Texts, WideCharToUtf8,
    ::testing::Values(Utf8Case{"Ascii", u"C:\\Temp", "C:\\Temp"},
                      Utf8Case{"TwoBytes", u"Caf\u00e9", "Caf\xc3\xa9"},
                      Utf8Case{"ThreeBytes", u"\u20ac\u4e2d", "\xe2\x82\xac\xe4\xb8\xad"},
                      // A surrogate pair is one character of four bytes.
                      Utf8Case{"SurrogatePair", u"\U0001D11E", "\xf0\x9d\x84\x9e"},
                      // Lone surrogates become U+FFFD, each on its own.
                      Utf8Case{"LoneHighBetweenLetters", u"a\xd834z", "a\xef\xbf\xbdz"},
                      Utf8Case{"LoneLow", u"\xdd1e", "\xef\xbf\xbd"},
                      Utf8Case{"LowBeforeHigh", u"\xdd1e\xd834", "\xef\xbf\xbd\xef\xbf\xbd"},
                      Utf8Case{"HighAtTheEnd", u"\xd834", "\xef\xbf\xbd"},
                      Utf8Case{"EmbeddedNul", std::u16string(u"a\0b", 3), std::string("a\0b", 3)}),
    case_name<Utf8Case>);

TEST(WideCharToMultiByte, ALengthThatCutsAPairConvertsTheHalfAsALoneSurrogate) {
  const std::u16string pair = u"\U0001D11E";
  char bytes[8] = {};
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, pair.data(), 1, bytes, sizeof bytes, nullptr, nullptr), 3);
  EXPECT_EQ(std::string(bytes, 3), "\xef\xbf\xbd");
}

TEST(WideCharToMultiByte, MinusOneCountsTheNul) {
  char bytes[8] = {'#', '#', '#', '#', '#', '#', '#', '#'};
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u00e9", -1, nullptr, 0, nullptr, nullptr), 3);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u00e9", -1, bytes, sizeof bytes, nullptr, nullptr), 3);
  EXPECT_EQ(std::string(bytes, 4), std::string("\xc3\xa9\0#", 4));
}

TEST(WideCharToMultiByte, TooSmallABufferIsInsufficientBuffer) {
  char bytes[3] = {'#', '#', '#'};
  SetLastError(0);
  EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\U0001D11E", 2, bytes, 3, nullptr, nullptr), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST(WideCharToMultiByte, RefusesWhatWindowsRefusesForUtf8) {
  char bytes[8];
  BOOL used_default = FALSE;
  const struct {
    const char* label;
    DWORD flags;
    int length;
    LPCSTR default_char;
    PBOOL used_default;
    DWORD error;
  } cases[] = {
      {"empty input", 0, 0, nullptr, nullptr, ERROR_INVALID_PARAMETER},
      {"default character, which UTF-8 has none of", 0, 1, "?", nullptr, ERROR_INVALID_PARAMETER},
      {"used-default flag", 0, 1, nullptr, &used_default, ERROR_INVALID_PARAMETER},
      {"flags", 0x400 /* WC_NO_BEST_FIT_CHARS */, 1, nullptr, nullptr, ERROR_INVALID_FLAGS},
  };
  for (const auto& c : cases) {
    SetLastError(0);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, c.flags, u"x", c.length, bytes, sizeof bytes, c.default_char,
                                  c.used_default),
              0)
        << c.label;
    EXPECT_EQ(GetLastError(), c.error) << c.label;
  }
}

// ---- _wfopen by Windows paths ----

class WideOpen : public ::testing::Test {
 protected:
  // The Windows form (drive Z:) of a path below the sandbox.
  std::u16string windows_path(const std::string& below) const {
    return ombrix_test::WindowsPath(box_.root() + "/" + below);
  }
  FILE* open(const std::string& below, const char16_t* mode) const { return _wfopen(windows_path(below).c_str(), mode); }
  ombrix_test::Sandbox box_;
};

TEST_F(WideOpen, BinaryWriteReplacesTheFileAndKeepsLineFeeds) {
  ombrix_test::write_file(box_.root() + "/out.xml", "an older and longer content\r\n");
  FILE* file = open("out.xml", u"wb");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(std::fwrite("a\nb\n", 1, 4, file), 4u);
  EXPECT_EQ(std::fclose(file), 0);
  EXPECT_EQ(ombrix_test::read_file(box_.root() + "/out.xml"), "a\nb\n");
}

TEST_F(WideOpen, TextModeWritesStoreLineFeedsAsCarriageReturnLineFeed) {
  for (const char16_t* mode : {u"w", u"wt"}) {
    FILE* file = open("text.log", mode);
    ASSERT_NE(file, nullptr);
    std::fputs("one\ntwo\n", file);
    EXPECT_EQ(std::fclose(file), 0);
    EXPECT_EQ(ombrix_test::read_file(box_.root() + "/text.log"), "one\r\ntwo\r\n");
  }
  FILE* file = open("text.log", u"a");
  ASSERT_NE(file, nullptr);
  std::fputs("three\n", file);
  std::fclose(file);
  EXPECT_EQ(ombrix_test::read_file(box_.root() + "/text.log"), "one\r\ntwo\r\nthree\r\n");
}

TEST_F(WideOpen, TextModeReadsGiveLineFeedsAndEndAtControlZ) {
  // Long enough that a CR LF pair falls across the stream's buffer boundary too.
  std::string stored, expected;
  for (int i = 0; i < 3000; ++i) {
    stored += "ab\r\n";
    expected += "ab\n";
  }
  stored += "lone\rcr\r\n\x1A" "after the end";
  expected += "lone\rcr\n";
  ombrix_test::write_file(box_.root() + "/in.txt", stored);
  FILE* file = open("in.txt", u"r");
  ASSERT_NE(file, nullptr);
  std::string read;
  char buffer[1000];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) read.append(buffer, n);
  std::fclose(file);
  EXPECT_EQ(read, expected);
}

TEST_F(WideOpen, MatchesExistingNamesWithoutRegardToCase) {
  ombrix_test::make_folder(box_.root() + "/Image");
  ombrix_test::write_file(box_.root() + "/Image/Description.xml", "<x/>");
  FILE* file = open("IMAGE/description.XML", u"rb");
  ASSERT_NE(file, nullptr);
  char bytes[8] = {};
  EXPECT_EQ(std::fread(bytes, 1, sizeof bytes, file), 4u);
  std::fclose(file);
  EXPECT_EQ(std::string(bytes), "<x/>");
}

TEST_F(WideOpen, FailsWithNullAndErrnoWhenTheFileOrFolderIsMissing) {
  for (const auto& [below, mode] : {std::pair{"missing.xml", u"rb"}, std::pair{"no-folder/out.xml", u"wb"}}) {
    errno = 0;
    EXPECT_EQ(open(below, mode), nullptr) << below;
    EXPECT_EQ(errno, ENOENT) << below;
  }
  EXPECT_FALSE(ombrix_test::file_exists(box_.root() + "/no-folder"));
}

TEST_F(WideOpen, AFolderCannotBeOpenedForWriting) {
  ombrix_test::make_folder(box_.root() + "/deployment.xml");
  errno = 0;
  EXPECT_EQ(open("deployment.xml", u"wb"), nullptr);
  EXPECT_NE(errno, 0);
}

// ---- SHGetSpecialFolderPathW arguments ----

TEST(SHGetSpecialFolderPath, RefusesAnUnknownFolderAndANullBuffer) {
  WCHAR buffer[MAX_PATH] = {u'#', u'\0'};
  SetLastError(0);
  EXPECT_FALSE(SHGetSpecialFolderPathW(nullptr, buffer, 0x7f, TRUE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(std::u16string(buffer), u"#");
  SetLastError(0);
  EXPECT_FALSE(SHGetSpecialFolderPathW(nullptr, nullptr, CSIDL_PROGRAM_FILES, FALSE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

}  // namespace

// Path translation: pure rules, then case matching on a real folder.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "paths.h"
#include "sandbox.h"
#include "temp_folder.h"
#include "text.h"
#include "winlayer/winlayer.h"

namespace {

winlayer::PathRules rules() {
  winlayer::PathRules r;
  r.drives = {{'C', "/srv/drive-c"}, {'D', "/mnt/d/"}};
  r.shares = [](std::string_view unc, std::string& folder, DWORD& error) {
    if (winlayer::equal_ignoring_case_utf8(unc, "\\\\fileserver\\deploy")) {
      folder = "/srv/deploy";
      return true;
    }
    error = winlayer::equal_ignoring_case_utf8(unc.substr(0, 12), "\\\\fileserver") ? ERROR_BAD_NET_NAME
                                                                                   : ERROR_BAD_NETPATH;
    return false;
  };
  return r;
}

struct TranslateCase {
  const char* windows;
  const char* linux_path;  // null: the translation fails with `error`
  DWORD error;
};

class TranslateWindowsPath : public ::testing::TestWithParam<TranslateCase> {};

TEST_P(TranslateWindowsPath, MapsDrivesSharesAndSeparators) {
  std::string out;
  DWORD error = 0;
  const bool ok = winlayer::translate_windows_path(GetParam().windows, rules(), out, error);
  if (GetParam().linux_path != nullptr) {
    ASSERT_TRUE(ok) << GetParam().windows;
    EXPECT_EQ(out, GetParam().linux_path);
  } else {
    EXPECT_FALSE(ok) << out;
    EXPECT_EQ(error, GetParam().error);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rules, TranslateWindowsPath,
    ::testing::Values(TranslateCase{"Z:\\tmp\\x", "/tmp/x", 0},
                      // A trailing separator stays, so that only a folder is found by it.
                      TranslateCase{"z:/tmp//x\\", "/tmp/x/", 0},
                      TranslateCase{"Z:\\tmp\\\\ombrixxelq.log", "/tmp/ombrixxelq.log", 0},
                      TranslateCase{"Z:\\", "/", 0}, TranslateCase{"C:\\Program Files (x86)\\a", "/srv/drive-c/Program Files (x86)/a", 0},
                      TranslateCase{"d:\\x", "/mnt/d/x", 0}, TranslateCase{"C:\\a\\..\\..\\b\\.\\c", "/srv/drive-c/b/c", 0},
                      TranslateCase{"C:\\", "/srv/drive-c/", 0},
                      TranslateCase{"\\\\?\\C:\\a", "/srv/drive-c/a", 0},
                      TranslateCase{"\\\\?\\UNC\\fileserver\\deploy\\x", "/srv/deploy/x", 0},
                      TranslateCase{"\\\\FileServer\\Deploy\\kit\\Setup.exe", "/srv/deploy/kit/Setup.exe", 0},
                      TranslateCase{"\\\\fileserver\\deploy", "/srv/deploy", 0},
                      TranslateCase{"\\\\fileserver\\other\\x", nullptr, ERROR_BAD_NET_NAME},
                      TranslateCase{"\\\\fileserver\\", nullptr, ERROR_BAD_NET_NAME},
                      TranslateCase{"\\\\nowhere\\deploy\\x", nullptr, ERROR_BAD_NETPATH},
                      TranslateCase{"\\\\server", nullptr, ERROR_BAD_NETPATH},
                      TranslateCase{"Q:\\x", nullptr, ERROR_PATH_NOT_FOUND},
                      // Only full paths are translated: GetFullPathNameW's rule comes first.
                      TranslateCase{"\\tmp\\x", nullptr, ERROR_PATH_NOT_FOUND},
                      TranslateCase{"sub\\file.txt", nullptr, ERROR_PATH_NOT_FOUND},
                      TranslateCase{"", nullptr, ERROR_PATH_NOT_FOUND}));

struct FullPathCase {
  std::u16string path;
  std::u16string current;
  std::u16string full;
};

class FullPathName : public ::testing::TestWithParam<FullPathCase> {};

TEST_P(FullPathName, IsWindowsFullPathOfTheName) {
  EXPECT_EQ(winlayer::full_path_name(GetParam().path, GetParam().current), GetParam().full);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, FullPathName,
    ::testing::Values(
        FullPathCase{u"C:\\Pkg\\\\setup.exe", u"Z:\\work\\here", u"C:\\Pkg\\setup.exe"},
        FullPathCase{u"C:/Pkg/./a/../b", u"Z:\\work\\here", u"C:\\Pkg\\b"},
        FullPathCase{u"x.txt", u"Z:\\work\\here", u"Z:\\work\\here\\x.txt"},
        FullPathCase{u"..\\x.txt", u"Z:\\work\\here", u"Z:\\work\\x.txt"},
        FullPathCase{u"../../../x", u"Z:\\work\\here", u"Z:\\x"},
        FullPathCase{u"\\x.txt", u"Z:\\work\\here", u"Z:\\x.txt"},
        FullPathCase{u"\\deployment.xml", u"C:\\Deploy", u"C:\\deployment.xml"},
        FullPathCase{u"\\x", u"\\\\server\\share\\dir", u"\\\\server\\share\\x"},
        FullPathCase{u"C:\\..\\..", u"Z:\\work", u"C:\\"},
        FullPathCase{u"C:\\a\\..\\", u"Z:\\work", u"C:\\"},
        FullPathCase{u"\\\\server\\share\\\\a\\..\\b", u"Z:\\work", u"\\\\server\\share\\b"},
        FullPathCase{u"\\\\server\\share\\..\\..", u"Z:\\work", u"\\\\server\\share"},
        FullPathCase{u"C:x", u"Z:\\work", u"C:\\x"},
        FullPathCase{u"z:x", u"Z:\\work", u"Z:\\work\\x"},
        FullPathCase{u"C:", u"Z:\\work", u"C:\\"},
        // Names as Windows normalises them.
        FullPathCase{u"Setup.exe ", u"C:\\kit", u"C:\\kit\\Setup.exe"},
        FullPathCase{u"Setup.exe.", u"C:\\kit", u"C:\\kit\\Setup.exe"},
        FullPathCase{u"Setup.exe. .", u"C:\\kit", u"C:\\kit\\Setup.exe"},
        FullPathCase{u"kit.\\Setup.exe", u"C:\\", u"C:\\kit\\Setup.exe"},
        FullPathCase{u"kit \\Setup.exe", u"C:\\", u"C:\\kit \\Setup.exe"},
        FullPathCase{u"kit..\\Setup.exe", u"C:\\", u"C:\\kit..\\Setup.exe"},
        FullPathCase{u"kit \\", u"C:\\", u"C:\\kit \\"},
        FullPathCase{u"kit\\...", u"C:\\", u"C:\\kit"},
        FullPathCase{u"Setup.exe\\", u"C:\\kit", u"C:\\kit\\Setup.exe\\"},
        FullPathCase{u"\\\\?\\C:\\a\\..\\b. ", u"Z:\\work", u"\\\\?\\C:\\a\\..\\b. "}));

struct NameCase {
  std::u16string path;
  bool forbidden;
};

class ForbiddenNameCharacter : public ::testing::TestWithParam<NameCase> {};

TEST_P(ForbiddenNameCharacter, IsFoundInAnyNameButNotInTheDriveOrPrefix) {
  EXPECT_EQ(winlayer::has_forbidden_name_character(GetParam().path), GetParam().forbidden);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ForbiddenNameCharacter,
    ::testing::Values(NameCase{u"C:\\Program Files (x86)\\a b\\Setup.exe", false},
                      NameCase{u"Z:\\tmp\\\u00e9t\u00e9 & co\\[1] {2} 'x' ;=+,#%@!~.txt", false},
                      NameCase{u"\\\\?\\C:\\a", false},
                      NameCase{u"\\\\?\\UNC\\server\\share\\a", false},
                      NameCase{u"\\\\server\\share\\a.txt", false},
                      NameCase{u"Z:\\tmp\\q\" \"--inj.txt", true},
                      NameCase{u"C:\\a<b", true},
                      NameCase{u"C:\\a>b", true},
                      NameCase{u"C:\\a|b", true},
                      NameCase{u"C:\\a?b", true},
                      NameCase{u"C:\\*.txt", true},
                      NameCase{u"C:\\file:stream", true},
                      NameCase{u"C:\\tab\tname", true},
                      NameCase{u"C:\\unit\x1fseparator", true},
                      NameCase{u"C:\\a?\\b.txt", true},
                      NameCase{u"\\\\?\\C:\\a?b", true},
                      NameCase{u"\\\\server\\share\\a*b", true},
                      NameCase{u"plain|name", true}));

TEST(WindowsFormOf, PrefersTheDriveThatHoldsThePathMostClosely) {
  const std::map<char, std::string> drives{{'C', "/srv/drive-c"}, {'E', "/srv/drive-c/inner/"}};
  EXPECT_EQ(winlayer::windows_form_of("/tmp/run1", drives), "Z:\\tmp\\run1");
  EXPECT_EQ(winlayer::windows_form_of("/", drives), "Z:\\");
  EXPECT_EQ(winlayer::windows_form_of("/srv/drive-c", drives), "C:\\");
  EXPECT_EQ(winlayer::windows_form_of("/srv/drive-c/Pkg/x", drives), "C:\\Pkg\\x");
  EXPECT_EQ(winlayer::windows_form_of("/srv/drive-c/inner/y", drives), "E:\\y");
  EXPECT_EQ(winlayer::windows_form_of("/srv/drive-cc/y", drives), "Z:\\srv\\drive-cc\\y");
}

TEST(WindowsFormOf, RoundTripsThroughTranslation) {
  for (const char* linux_path : {"/tmp/a b/c", "/srv/drive-c/x/y", "/"}) {
    std::string back;
    DWORD error = 0;
    ASSERT_TRUE(winlayer::translate_windows_path(winlayer::windows_form_of(linux_path, rules().drives), rules(), back, error));
    EXPECT_EQ(back, linux_path);
  }
}

class CaseMatching : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(root_ / "Package" / "Redist");
    ombrix_test::write_file(root_ / "Package" / "Setup.exe", "x");
  }
  const ombrix_test::TempFolder folder_{"paths-test"};
  const std::filesystem::path root_ = folder_.path();
};

TEST_F(CaseMatching, FindsExistingNamesInAnyCase) {
  const std::string base = root_.string();
  EXPECT_EQ(winlayer::match_existing_case(base + "/package/setup.EXE"), base + "/Package/Setup.exe");
  EXPECT_EQ(winlayer::match_existing_case(base + "/PACKAGE/redist"), base + "/Package/Redist");
}

TEST_F(CaseMatching, KeepsATrailingSlash) {
  const std::string base = root_.string();
  EXPECT_EQ(winlayer::match_existing_case(base + "/package/redist/"), base + "/Package/Redist/");
  EXPECT_EQ(winlayer::match_existing_case(base + "/package/setup.exe/"), base + "/Package/Setup.exe/");
}

TEST_F(CaseMatching, KeepsNamesThatDoNotExistAsWritten) {
  const std::string base = root_.string();
  EXPECT_EQ(winlayer::match_existing_case(base + "/package/New File.txt"), base + "/Package/New File.txt");
  EXPECT_EQ(winlayer::match_existing_case(base + "/missing/setup.exe"), base + "/missing/setup.exe");
}

TEST_F(CaseMatching, FileFunctionsUseIt) {
  const std::u16string setup = winlayer::to_windows_path(root_.string() + "/PACKAGE/SETUP.EXE");
  EXPECT_TRUE(PathFileExistsW(setup.c_str()));
  EXPECT_TRUE(PathFileExistsW(winlayer::to_windows_path(root_.string() + "/package/redist").c_str()));
  EXPECT_TRUE(DeleteFileW(setup.c_str()));
  EXPECT_FALSE(std::filesystem::exists(root_ / "Package" / "Setup.exe"));
}

}  // namespace

// PathRemoveFileSpecW, MultiByteToWideChar with the thread's ANSI code page,
// SysAllocString and OleInitialize.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "case_name.h"
#include "win32.h"

namespace {
using ::operator<<;

struct RemoveCase {
  std::string label;
  std::u16string path;
  std::u16string result;
  BOOL removed;
};

class RemoveFileSpec : public ::testing::TestWithParam<RemoveCase> {};

TEST_P(RemoveFileSpec, LeavesTheFolder) {
  WCHAR buffer[MAX_PATH] = {};
  GetParam().path.copy(buffer, GetParam().path.size());
  EXPECT_EQ(PathRemoveFileSpecW(buffer), GetParam().removed);
  EXPECT_EQ(std::u16string(buffer), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, RemoveFileSpec,
    ::testing::Values(RemoveCase{"file_in_a_folder", u"C:\\TEST\\sample.txt", u"C:\\TEST", TRUE},
                      RemoveCase{"program_folder", u"Z:\\opt\\kz4\\KZ4Xelqdesk.exe", u"Z:\\opt\\kz4", TRUE},
                      RemoveCase{"file_at_a_drive_root", u"C:\\sample.txt", u"C:\\", TRUE},
                      RemoveCase{"drive_root", u"C:\\", u"C:\\", FALSE},
                      RemoveCase{"drive_alone", u"C:", u"C:", FALSE},
                      RemoveCase{"drive_relative", u"C:sample.txt", u"C:", TRUE},
                      RemoveCase{"trailing_backslash", u"C:\\TEST\\", u"C:\\TEST", TRUE},
                      RemoveCase{"unc_file", u"\\\\server\\share\\file.txt", u"\\\\server\\share", TRUE},
                      RemoveCase{"unc_share", u"\\\\server\\share", u"\\\\server", TRUE},
                      RemoveCase{"unc_server", u"\\\\server", u"\\\\", TRUE},
                      RemoveCase{"unc_prefix", u"\\\\", u"\\\\", FALSE},
                      RemoveCase{"rooted_file", u"\\sample.txt", u"\\", TRUE},
                      RemoveCase{"root_alone", u"\\", u"\\", FALSE},
                      RemoveCase{"name_alone", u"sample.txt", u"", TRUE},
                      RemoveCase{"forward_slashes_do_not_separate", u"C:/TEST/sample.txt", u"C:", TRUE},
                      RemoveCase{"empty", u"", u"", FALSE}),
    ombrix_test::case_name<RemoveCase>);

TEST(RemoveFileSpecArguments, NullIsNothingRemoved) { EXPECT_FALSE(PathRemoveFileSpecW(nullptr)); }

struct ConversionCase {
  std::string label;
  UINT code_page;
  std::string bytes;
  std::u16string text;
};

class ToWide : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(ToWide, GivesUtf16WithTheNul) {
  const ConversionCase& c = GetParam();
  const int needed = MultiByteToWideChar(c.code_page, 0, c.bytes.c_str(), -1, nullptr, 0);
  ASSERT_EQ(needed, static_cast<int>(c.text.size()) + 1);
  std::u16string out(static_cast<std::size_t>(needed), u'#');
  EXPECT_EQ(MultiByteToWideChar(c.code_page, 0, c.bytes.c_str(), -1, out.data(), needed), needed);
  EXPECT_EQ(out, c.text + u'\0');
}

INSTANTIATE_TEST_SUITE_P(
    CodePages, ToWide,
    ::testing::Values(ConversionCase{"thread_acp_ascii", CP_THREAD_ACP, "<number>1</number>", u"<number>1</number>"},
                      ConversionCase{"thread_acp_is_utf8", CP_THREAD_ACP, "fr_FR \xC3\xA9", u"fr_FR \u00E9"},
                      ConversionCase{"utf8_path", CP_UTF8, "C:\\Hilfe\\\xC3\x9C" "bersicht.chm",
                                     u"C:\\Hilfe\\\u00DCbersicht.chm"},
                      ConversionCase{"utf8_invalid_byte", CP_UTF8, "a\xFFz", u"a\uFFFDz"}),
    ombrix_test::case_name<ConversionCase>);

TEST(AllocString, CopiesTheTextWithItsLengthAndNul) {
  BSTR text = SysAllocString(u"<string>a&b</string>");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(SysStringLen(text), 20u);
  EXPECT_EQ(std::u16string(text, 21), std::u16string(u"<string>a&b</string>") + u'\0');
  SysFreeString(text);
  BSTR empty = SysAllocString(u"");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(SysStringLen(empty), 0u);
  EXPECT_EQ(empty[0], u'\0');
  SysFreeString(empty);
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
}

// Each thread has its own count; the test runs on threads of its own so that
// no other test's start of OLE counts.
TEST(OleStart, FirstCallIsOkThenFalseUntilBalanced) {
  std::thread([] {
    EXPECT_EQ(OleInitialize(nullptr), S_OK);
    EXPECT_EQ(OleInitialize(nullptr), S_FALSE);
    std::thread([] { EXPECT_EQ(OleInitialize(nullptr), S_OK); }).join();
    OleUninitialize();
    EXPECT_EQ(OleInitialize(nullptr), S_FALSE);
    OleUninitialize();
    OleUninitialize();
    EXPECT_EQ(OleInitialize(nullptr), S_OK);
  }).join();
}

TEST(OleStart, ReservedArgumentMustBeNull) {
  int reserved = 0;
  std::thread([&reserved] { EXPECT_EQ(OleInitialize(&reserved), E_INVALIDARG); }).join();
}

}  // namespace

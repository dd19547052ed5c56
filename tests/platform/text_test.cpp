// ASCII case, as commands and drive letters compare, and the wide streams' text.
#include <gtest/gtest.h>

#include <string>

#include "text.h"

namespace {

struct AsciiCase {
  std::u16string a;
  std::u16string b;
  bool equal;
};

TEST(EqualIgnoringAsciiCase, FoldsOnlyAsciiLetters) {
  const AsciiCase cases[] = {
      {u"RmDir", u"rmdir", true},  {u"rd", u"rdx", false}, {u"", u"", true},
      {u"\u00e9", u"\u00c9", false},  // beyond ASCII nothing folds
      {u"[", u"{", false},            // 0x5B and 0x7B lie 0x20 apart but are no letters
  };
  for (const auto& c : cases) {
    EXPECT_EQ(winlayer::equal_ignoring_ascii_case(c.a, c.b), c.equal) << std::string(c.a.begin(), c.a.end());
  }
  EXPECT_EQ(winlayer::ascii_lower("Share:\\\\A\u00c9"), "share:\\\\a\u00c9");
}

TEST(WideToUtf8, EncodesEachCodePointAndReplacesWhatIsNone) {
  EXPECT_EQ(winlayer::wide_to_utf8(L"a\u00e9\u20ac\U0001D11E"), "a\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E");
  const wchar_t invalid[] = {static_cast<wchar_t>(0xD800), static_cast<wchar_t>(0x110000), L'x'};
  EXPECT_EQ(winlayer::wide_to_utf8(std::wstring_view(invalid, 3)), "\xEF\xBF\xBD\xEF\xBF\xBDx");
}

}  // namespace

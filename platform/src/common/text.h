// UTF-16 and UTF-8 conversion, Windows' case folding and ASCII case: pure functions.
#ifndef WINLAYER_TEXT_H
#define WINLAYER_TEXT_H

#include <string>
#include <string_view>

namespace winlayer {

// A lone surrogate becomes U+FFFD, as Windows' UTF-8 conversion gives it.
std::string utf16_to_utf8(std::u16string_view text);
// An invalid sequence becomes U+FFFD.
std::u16string utf8_to_utf16(std::string_view text);

// The upper-case form Windows compares file names in (ASCII, Latin-1, Latin
// Extended-A, Greek and Cyrillic).
char16_t fold_case(char16_t c);
bool equal_ignoring_case(std::u16string_view a, std::u16string_view b);
bool equal_ignoring_case_utf8(std::string_view a, std::string_view b);

// ASCII letters only, as drive letters, commands and profile names compare.
char ascii_upper(char c);
char16_t ascii_upper(char16_t c);
std::string ascii_lower(std::string_view text);
bool equal_ignoring_ascii_case(std::u16string_view a, std::u16string_view b);

// wchar_t text of the C run-time's wide streams (UTF-32 on Linux) as UTF-8; a
// value that is no Unicode scalar becomes U+FFFD.
std::string wide_to_utf8(std::wstring_view text);

}  // namespace winlayer

#endif

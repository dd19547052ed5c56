// A child program of the shell tests: reports functions that depend on the
// machine profile, which the layer reads once per process. Usage:
//   shell_probe languages         GetUserDefaultUILanguage, GetSystemDefaultLangID
//   shell_probe decimal <locale>  GetLocaleInfoW(locale, LOCALE_SDECIMAL), locale in hexadecimal
//   shell_probe appdata           SHGetSpecialFolderPathW(CSIDL_APPDATA, no creation)
//   shell_probe open <path>       ShellExecuteW "open", the path in UTF-8
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "wide_text.h"
#include "winlayer/winlayer.h"

namespace {

using ombrix_test::Utf8;

void languages() {
  std::printf("ui=%04x system=%04x\n", GetUserDefaultUILanguage(), GetSystemDefaultLangID());
}

void decimal(const char* locale) {
  WCHAR buffer[4] = {u'#', u'\0'};
  SetLastError(0);
  const int result = GetLocaleInfoW(static_cast<LCID>(std::strtoul(locale, nullptr, 16)), LOCALE_SDECIMAL, buffer, 4);
  std::printf("returned=%d error=%u text=%s\n", result, GetLastError(), Utf8(buffer).c_str());
}

void appdata() {
  WCHAR buffer[MAX_PATH] = {u'#', u'\0'};
  const BOOL result = SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_APPDATA, FALSE);
  std::printf("returned=%d text=%s\n", result, Utf8(buffer).c_str());
}

void open(const char* path) {
  WCHAR wide[MAX_PATH] = {};
  MultiByteToWideChar(CP_UTF8, 0, path, -1, wide, MAX_PATH);
  const HINSTANCE result = ShellExecuteW(nullptr, u"open", wide, nullptr, nullptr, SW_SHOWNORMAL);
  std::printf("above32=%d\n", reinterpret_cast<std::intptr_t>(result) > 32);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "languages" && argc == 2) {
    languages();
  } else if (command == "decimal" && argc == 3) {
    decimal(argv[2]);
  } else if (command == "appdata" && argc == 2) {
    appdata();
  } else if (command == "open" && argc == 3) {
    open(argv[2]);
  } else {
    std::fprintf(stderr, "usage: shell_probe languages | decimal <locale> | appdata | open <path>\n");
    return 2;
  }
  return 0;
}

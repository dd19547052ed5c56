// Environment variables, read from the process's UTF-8 environment.
#include <cstdlib>
#include <string>

#include "text.h"
#include "winlayer/kernel.h"

extern char** environ;

namespace {

// The value of the variable; a name that only matches in another case is
// found too, since Windows' names are not case-sensitive.
const char* find_variable(const std::string& name) {
  if (const char* exact = std::getenv(name.c_str())) return exact;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view text = *entry;
    const auto eq = text.find('=');
    if (eq != std::string_view::npos && winlayer::equal_ignoring_case_utf8(text.substr(0, eq), name)) {
      return *entry + eq + 1;
    }
  }
  return nullptr;
}

}  // namespace

DWORD WINAPI GetEnvironmentVariableW(LPCWSTR lpName, LPWSTR lpBuffer, DWORD nSize) {
  const std::string name = lpName == nullptr ? std::string() : winlayer::utf16_to_utf8(lpName);
  const char* value = name.empty() || name.find('=') != std::string::npos ? nullptr : find_variable(name);
  if (value == nullptr) {
    SetLastError(ERROR_ENVVAR_NOT_FOUND);
    return 0;
  }
  const std::u16string wide = winlayer::utf8_to_utf16(value);
  const DWORD length = static_cast<DWORD>(wide.size());
  if (lpBuffer == nullptr || nSize <= length) return length + 1;
  wide.copy(lpBuffer, wide.size());
  lpBuffer[length] = u'\0';
  if (length == 0) SetLastError(NO_ERROR);
  return length;
}

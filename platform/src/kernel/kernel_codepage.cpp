// Code-page conversion; every code page the layer knows is UTF-8.
#include <algorithm>
#include <cstring>
#include <string>

#include "text.h"
#include "winlayer/kernel.h"

namespace {

bool known_code_page(UINT code_page) {
  return code_page == CP_UTF8 || code_page == CP_ACP || code_page == CP_THREAD_ACP;
}

// Copies the converted units out by the convention of both functions.
template <class Char>
int deliver(const std::basic_string<Char>& converted, Char* out, int out_size) {
  const int needed = static_cast<int>(converted.size());
  if (out_size == 0) return needed;
  if (out_size < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::copy(converted.begin(), converted.end(), out);
  return needed;
}

}  // namespace

int WINAPI WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                               LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                               PBOOL lpUsedDefaultChar) {
  if (dwFlags != 0) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  // UTF-8 has no default character: both of its arguments must be null.
  if (!known_code_page(CodePage) || lpWideCharStr == nullptr || cchWideChar == 0 || cbMultiByte < 0 ||
      (cbMultiByte > 0 && lpMultiByteStr == nullptr) || lpDefaultChar != nullptr || lpUsedDefaultChar != nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::size_t length = cchWideChar < 0 ? std::char_traits<char16_t>::length(lpWideCharStr) + 1
                                             : static_cast<std::size_t>(cchWideChar);
  return deliver(winlayer::utf16_to_utf8(std::u16string_view(lpWideCharStr, length)), lpMultiByteStr, cbMultiByte);
}

int WINAPI MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                               LPWSTR lpWideCharStr, int cchWideChar) {
  if (dwFlags != 0) {
    SetLastError(ERROR_INVALID_FLAGS);
    return 0;
  }
  if (!known_code_page(CodePage) || lpMultiByteStr == nullptr || cbMultiByte == 0 ||
      cchWideChar < 0 || (cchWideChar > 0 && lpWideCharStr == nullptr)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::size_t length = cbMultiByte < 0 ? std::strlen(lpMultiByteStr) + 1 : static_cast<std::size_t>(cbMultiByte);
  return deliver(winlayer::utf8_to_utf16(std::string_view(lpMultiByteStr, length)), lpWideCharStr, cchWideChar);
}

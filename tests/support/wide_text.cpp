// Wide text back to UTF-8.
#include "wide_text.h"

namespace ombrix_test {

std::string Utf8(const WCHAR* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::string();
  std::string bytes(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
  bytes.pop_back();  // the NUL
  return bytes;
}

}  // namespace ombrix_test

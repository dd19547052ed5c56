// Windows forms of Linux paths.
#include "windows_path.h"

#include <algorithm>
#include <stdexcept>

namespace ombrix_test {

std::string WindowsPathUtf8(const std::string& linux_path) {
  std::string path = "Z:" + linux_path;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

WString WindowsPath(const std::string& linux_path) {
  const std::string narrow = WindowsPathUtf8(linux_path);
  const int length = static_cast<int>(narrow.size());
  const int units = MultiByteToWideChar(CP_UTF8, 0, narrow.data(), length, nullptr, 0);
  WString wide(static_cast<std::size_t>(units), TEXT('\0'));
  if (units == 0 || MultiByteToWideChar(CP_UTF8, 0, narrow.data(), length, wide.data(), units) != units) {
    throw std::runtime_error("MultiByteToWideChar failed for " + linux_path);
  }
  return wide;
}

}  // namespace ombrix_test

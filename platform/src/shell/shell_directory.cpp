// SHCreateDirectoryExW: a folder by its full Windows path, with its parents.
#include <string>

#include "folder_creation.h"
#include "paths.h"
#include "winlayer/kernel.h"
#include "winlayer/shell.h"

namespace {

// The longest path the function takes, with its NUL.
constexpr std::size_t kMaxPath = 248;

bool is_separator(char16_t c) { return c == u'\\' || c == u'/'; }

// Fully qualified: a drive with its root, or a path from the root of the
// current drive or of a share.
bool is_relative(std::u16string_view path) {
  if (!path.empty() && is_separator(path[0])) return false;
  return !(path.size() >= 3 && path[1] == u':' && is_separator(path[2]));
}

DWORD create_directory(std::u16string_view path) {
  if (is_relative(path)) return ERROR_BAD_PATHNAME;
  if (path.size() >= kMaxPath) return ERROR_FILENAME_EXCED_RANGE;
  std::string linux_path;
  if (!winlayer::to_linux_path(path, linux_path)) return GetLastError();
  return winlayer::create_folder_with_parents(linux_path);
}

}  // namespace

int WINAPI SHCreateDirectoryExW(HWND, LPCWSTR pszPath, const SECURITY_ATTRIBUTES*) {
  const DWORD result = create_directory(pszPath == nullptr ? std::u16string_view() : std::u16string_view(pszPath));
  SetLastError(result);
  return static_cast<int>(result);
}

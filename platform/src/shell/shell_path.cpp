// Path text functions of the shell: pure string work, no file system access.
#include <string>

#include "winlayer/shell.h"

namespace {

// Length of the root that removing an element keeps: "X:\", "X:", "\\", "\".
std::size_t root_length(std::u16string_view path) {
  if (path.size() >= 2 && path[1] == u':') return path.size() >= 3 && path[2] == u'\\' ? 3 : 2;
  if (path.size() >= 2 && path[0] == u'\\' && path[1] == u'\\') return 2;
  return !path.empty() && path[0] == u'\\' ? 1 : 0;
}

}  // namespace

BOOL WINAPI PathRemoveFileSpecW(LPWSTR pszPath) {
  if (pszPath == nullptr) return FALSE;
  const std::u16string_view path(pszPath);
  const std::size_t root = root_length(path);
  if (path.size() <= root) return FALSE;
  const std::size_t slash = path.find_last_of(u'\\');
  const std::size_t end = slash == std::u16string_view::npos || slash < root ? root : slash;
  pszPath[end] = u'\0';
  return TRUE;
}

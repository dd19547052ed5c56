// Folder creation with parents.
#include "folder_creation.h"

#include <sys/stat.h>

#include <cerrno>

#include "errors.h"

namespace winlayer {
namespace {

enum class Entry { missing, folder, other };

Entry entry_at(const std::string& linux_path) {
  struct stat st {};
  if (::stat(linux_path.c_str(), &st) != 0) return Entry::missing;
  return S_ISDIR(st.st_mode) ? Entry::folder : Entry::other;
}

// mkdir of one level; an existing folder is fine.
DWORD create_level(const std::string& linux_path) {
  if (::mkdir(linux_path.c_str(), 0777) == 0) return ERROR_SUCCESS;
  if (errno != EEXIST) return error_from_errno(errno, linux_path);
  return entry_at(linux_path) == Entry::folder ? ERROR_SUCCESS : ERROR_PATH_NOT_FOUND;
}

}  // namespace

DWORD create_folder_with_parents(const std::string& linux_path) {
  switch (entry_at(linux_path)) {
    case Entry::folder: return ERROR_ALREADY_EXISTS;
    case Entry::other: return ERROR_FILE_EXISTS;
    case Entry::missing: break;
  }
  for (std::size_t end = linux_path.find('/', 1);; end = linux_path.find('/', end + 1)) {
    const std::string level = linux_path.substr(0, end);
    const DWORD error = level.empty() ? ERROR_SUCCESS : create_level(level);
    if (error != ERROR_SUCCESS) return error;
    if (end == std::string::npos) return ERROR_SUCCESS;
  }
}

}  // namespace winlayer

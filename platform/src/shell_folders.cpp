// Shell special folders: the folders that SHGetSpecialFolderPathW names by their
// CSIDL, taken from the machine profile. Only the table of folders and their
// creation live here.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "errors.h"
#include "paths.h"
#include "profile.h"
#include "text.h"
#include "winlayer/kernel.h"
#include "winlayer/shell.h"

namespace {

struct SpecialFolder {
  int csidl;
  std::string (*windows_path)();  // UTF-8, as the profile writes it
};

std::string program_files() { return winlayer::profile().program_files; }

constexpr SpecialFolder kSpecialFolders[] = {
    {CSIDL_PROGRAM_FILES, program_files},
};

const SpecialFolder* find_special_folder(int csidl) {
  for (const SpecialFolder& folder : kSpecialFolders) {
    if (folder.csidl == csidl) return &folder;
  }
  return nullptr;
}

// mkdir for each missing folder on the way down, as the shell creates a special
// folder with its parents. Sets the last error and returns false on failure.
bool create_folder_and_parents(const std::string& linux_path) {
  for (std::size_t end = linux_path.find('/', 1);; end = linux_path.find('/', end + 1)) {
    const std::string part = linux_path.substr(0, end);
    if (!part.empty() && ::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
      winlayer::set_error_from_errno(part);
      return false;
    }
    if (end == std::string::npos) break;
  }
  struct stat st {};
  if (::stat(linux_path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    SetLastError(ERROR_ALREADY_EXISTS);  // a file stands where the folder should be
    return false;
  }
  return true;
}

bool ensure_folder(const std::u16string& windows_path) {
  std::string linux_path;
  return winlayer::to_linux_path(windows_path, linux_path) && create_folder_and_parents(linux_path);
}

}  // namespace

BOOL WINAPI SHGetSpecialFolderPathW(HWND, LPWSTR lpszPath, int csidl, BOOL fCreate) {
  const SpecialFolder* folder = find_special_folder(csidl);
  if (folder == nullptr || lpszPath == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::u16string path = winlayer::utf8_to_utf16(folder->windows_path());
  if (path.size() >= MAX_PATH) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  if (fCreate && !ensure_folder(path)) return FALSE;
  std::copy(path.begin(), path.end(), lpszPath);
  lpszPath[path.size()] = u'\0';
  return TRUE;
}

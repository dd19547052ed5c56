// Shell special folders: the folders that SHGetSpecialFolderPathW names by their
// CSIDL, taken from the machine profile. Only the table of folders and their
// creation live here.
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "folder_creation.h"
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

std::string user_name() {
  const passwd* account = ::getpwuid(::getuid());
  return account != nullptr ? account->pw_name : "User";
}

std::string appdata() {
  return winlayer::profile().ini.get("folders", "appdata", "C:\\Users\\" + user_name() + "\\AppData\\Roaming");
}

constexpr SpecialFolder kSpecialFolders[] = {
    {CSIDL_APPDATA, appdata},
    {CSIDL_PROGRAM_FILES, program_files},
};

const SpecialFolder* find_special_folder(int csidl) {
  for (const SpecialFolder& folder : kSpecialFolders) {
    if (folder.csidl == csidl) return &folder;
  }
  return nullptr;
}

// A file in the folder's place counts as the folder already being there.
bool ensure_folder(const std::u16string& windows_path) {
  std::string linux_path;
  if (!winlayer::to_linux_path(windows_path, linux_path)) return false;
  const DWORD error = winlayer::create_folder_with_parents(linux_path);
  if (error == ERROR_SUCCESS || error == ERROR_ALREADY_EXISTS) return true;
  SetLastError(error == ERROR_FILE_EXISTS ? ERROR_ALREADY_EXISTS : error);
  return false;
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

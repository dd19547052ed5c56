// Kernel file functions.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "errors.h"
#include "paths.h"
#include "winlayer/kernel.h"
#include "winlayer/kernel_file.h"

BOOL WINAPI DeleteFileW(LPCWSTR lpFileName) {
  std::string linux_path;
  if (lpFileName == nullptr || !winlayer::to_linux_path(std::u16string_view(lpFileName), linux_path)) {
    if (lpFileName == nullptr) SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  struct stat st {};
  if (::lstat(linux_path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (::unlink(linux_path.c_str()) != 0) {
    winlayer::set_error_from_errno(linux_path);
    return FALSE;
  }
  return TRUE;
}

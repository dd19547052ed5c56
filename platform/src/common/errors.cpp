// Thread error codes and the errno converter.
#include "errors.h"

#include <sys/stat.h>

#include <cerrno>

#include "winlayer/kernel.h"

namespace {
thread_local DWORD last_error = ERROR_SUCCESS;

// A file named with a trailing separator, which Windows refuses as a name.
bool names_a_file_as_a_folder(const std::string& linux_path) {
  if (linux_path.size() < 2 || linux_path.back() != '/') return false;
  struct stat st {};
  return ::stat(linux_path.substr(0, linux_path.find_last_not_of('/') + 1).c_str(), &st) == 0 &&
         !S_ISDIR(st.st_mode);
}

bool parent_folder_exists(const std::string& linux_path) {
  const auto name_end = linux_path.find_last_not_of('/');
  const auto slash = name_end == std::string::npos ? std::string::npos : linux_path.find_last_of('/', name_end);
  const std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : linux_path.substr(0, slash);
  struct stat st {};
  return ::stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
}  // namespace

DWORD WINAPI GetLastError() { return last_error; }
void WINAPI SetLastError(DWORD dwErrCode) { last_error = dwErrCode; }

namespace winlayer {

DWORD error_from_errno(int err, const std::string& linux_path) {
  if ((err == ENOTDIR || err == EISDIR) && names_a_file_as_a_folder(linux_path)) return ERROR_INVALID_NAME;
  switch (err) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return parent_folder_exists(linux_path) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR: return ERROR_ACCESS_DENIED;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case ENOSPC: return ERROR_DISK_FULL;
    case EROFS: return ERROR_WRITE_PROTECT;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case EMFILE:
    case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EBADF: return ERROR_INVALID_HANDLE;
    case ENOEXEC: return ERROR_BAD_FORMAT;
    case EBUSY:
    case ETXTBSY: return ERROR_SHARING_VIOLATION;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    default: return ERROR_INVALID_FUNCTION;
  }
}

int errno_from_error(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_NAME: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_WRITE_PROTECT: return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
    case ERROR_DISK_FULL: return ENOSPC;
    case ERROR_NOT_ENOUGH_MEMORY: return ENOMEM;
    case ERROR_INVALID_HANDLE: return EBADF;
    default: return EINVAL;
  }
}

void set_error_from_errno(const std::string& linux_path) {
  SetLastError(error_from_errno(errno, linux_path));
}

}  // namespace winlayer

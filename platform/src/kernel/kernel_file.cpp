// Kernel file functions over the layer's opening rules (file_open.h).
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "errors.h"
#include "file_open.h"
#include "handles.h"
#include "paths.h"
#include "posix_io.h"
#include "winlayer/unique_fd.h"
#include "winlayer/kernel.h"
#include "winlayer/kernel_file.h"

namespace winlayer {
namespace {

class FileObject final : public KernelObject {
 public:
  FileObject(UniqueFd fd, DWORD access) : fd_(std::move(fd)), access_(access) {}
  int fd() const { return fd_.get(); }
  bool readable() const { return (access_ & GENERIC_READ) != 0; }

 private:
  UniqueFd fd_;  // closing it releases the share locks
  DWORD access_;
};

bool valid_disposition(DWORD access, DWORD disposition) {
  if (disposition == TRUNCATE_EXISTING) return (access & GENERIC_WRITE) != 0;
  return disposition >= CREATE_NEW && disposition <= OPEN_ALWAYS;
}

// Reads until the count is reached or the file ends, as ReadFile does on disk.
bool read_fully(int fd, LPVOID buffer, DWORD count, DWORD& done) {
  auto* bytes = static_cast<char*>(buffer);
  done = 0;
  while (done < count) {
    const ssize_t n = read_some(fd, bytes + done, count - done);
    if (n < 0) return false;
    if (n == 0) break;
    done += static_cast<DWORD>(n);
  }
  return true;
}

}  // namespace
}  // namespace winlayer

BOOL WINAPI DeleteFileW(LPCWSTR lpFileName) {
  std::string linux_path;
  if (lpFileName == nullptr || !winlayer::to_linux_path(std::u16string_view(lpFileName), linux_path)) {
    if (lpFileName == nullptr) SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  struct stat st {};
  if (::lstat(linux_path.c_str(), &st) == 0 && (S_ISDIR(st.st_mode) || winlayer::is_read_only(linux_path))) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (winlayer::delete_denied_by_a_handle(linux_path)) {
    SetLastError(ERROR_SHARING_VIOLATION);
    return FALSE;
  }
  if (::unlink(linux_path.c_str()) != 0) {
    winlayer::set_error_from_errno(linux_path);
    return FALSE;
  }
  return TRUE;
}

HANDLE WINAPI CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES /*lpSecurityAttributes*/, DWORD dwCreationDisposition,
                          DWORD /*dwFlagsAndAttributes*/, HANDLE /*hTemplateFile*/) {
  if (!winlayer::valid_disposition(dwDesiredAccess, dwCreationDisposition)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  std::string linux_path;
  if (lpFileName == nullptr || !winlayer::to_linux_path(std::u16string_view(lpFileName), linux_path)) {
    if (lpFileName == nullptr) SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  winlayer::OpenedFile file;
  if (!winlayer::open_file(linux_path, dwDesiredAccess, dwShareMode, dwCreationDisposition, file)) {
    return INVALID_HANDLE_VALUE;
  }
  const bool kept_existing = file.existed && (dwCreationDisposition == CREATE_ALWAYS ||
                                              dwCreationDisposition == OPEN_ALWAYS);
  const HANDLE handle =
      winlayer::register_handle(std::make_shared<winlayer::FileObject>(std::move(file.fd), dwDesiredAccess));
  SetLastError(kept_existing ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                     LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesRead != nullptr) *lpNumberOfBytesRead = 0;
  const auto file = winlayer::lookup_handle_as<winlayer::FileObject>(hFile);
  if (file == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (lpNumberOfBytesRead == nullptr || lpOverlapped != nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!file->readable()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  DWORD done = 0;
  if (!winlayer::read_fully(file->fd(), lpBuffer, nNumberOfBytesToRead, done)) {
    winlayer::set_error_from_errno(std::string());
    return FALSE;
  }
  *lpNumberOfBytesRead = done;
  return TRUE;
}

DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
  const auto file = winlayer::lookup_handle_as<winlayer::FileObject>(hFile);
  struct stat st {};
  if (file == nullptr || ::fstat(file->fd(), &st) != 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return INVALID_FILE_SIZE;
  }
  const auto size = static_cast<std::uint64_t>(st.st_size);
  if (lpFileSizeHigh != nullptr) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
  SetLastError(NO_ERROR);
  return static_cast<DWORD>(size);
}

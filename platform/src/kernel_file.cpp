// Kernel file functions. Windows' share modes hold between handles of any process
// on the layer through open-file-description locks on reserved bytes far past
// any real data: a handle keeps a shared lock on one byte per right it holds and
// one per right it denies, and an open probes the bytes that would conflict.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <utility>

#include "errors.h"
#include "handles.h"
#include "paths.h"
#include "unique_fd.h"
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

// The three rights, as access bits and as share bits.
constexpr DWORD kAccessRights[] = {GENERIC_READ, GENERIC_WRITE, DELETE};
constexpr DWORD kShareRights[] = {FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_DELETE};
constexpr int kRightCount = 3;
constexpr int kDeleteRight = 2;
constexpr off_t kLockBase = std::numeric_limits<off_t>::max() - 2 * kRightCount;

off_t held_byte(int right) { return kLockBase + right; }
off_t denied_byte(int right) { return kLockBase + kRightCount + right; }

struct flock one_byte(short type, off_t byte) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = byte;
  lock.l_len = 1;
  return lock;
}

bool take_byte(int fd, off_t byte) {
  struct flock lock = one_byte(F_RDLCK, byte);
  return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

// Whether another open file description holds a lock on the byte.
bool locked_elsewhere(int fd, off_t byte) {
  struct flock probe = one_byte(F_WRLCK, byte);
  return ::fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
}

// Takes the handle's locks, then looks for a conflicting handle. Taking before
// looking means that two opens racing may both fail but never both succeed. A
// descriptor that cannot be locked (write-only, or a file system without locks)
// takes no part in sharing.
bool claim_share(int fd, DWORD access, DWORD share) {
  if ((access & (GENERIC_READ | GENERIC_WRITE | DELETE)) == 0) return true;
  for (int right = 0; right < kRightCount; ++right) {
    const bool holds = (access & kAccessRights[right]) != 0;
    const bool denies = (share & kShareRights[right]) == 0;
    if ((holds && !take_byte(fd, held_byte(right))) || (denies && !take_byte(fd, denied_byte(right)))) return true;
  }
  for (int right = 0; right < kRightCount; ++right) {
    if ((access & kAccessRights[right]) != 0 && locked_elsewhere(fd, denied_byte(right))) return false;
    if ((share & kShareRights[right]) == 0 && locked_elsewhere(fd, held_byte(right))) return false;
  }
  return true;
}

bool delete_denied_by_a_handle(const std::string& linux_path) {
  const UniqueFd fd(::open(linux_path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
  return fd.valid() && locked_elsewhere(fd.get(), denied_byte(kDeleteRight));
}

// Write access opens read-write where permissions allow, since a shared lock
// needs a readable descriptor.
UniqueFd open_descriptor(const std::string& linux_path, bool writable, int create_flags) {
  const int flags = O_CLOEXEC | create_flags;
  if (!writable) return UniqueFd(::open(linux_path.c_str(), flags | O_RDONLY, 0666));
  UniqueFd fd(::open(linux_path.c_str(), flags | O_RDWR, 0666));
  if (fd.valid() || errno != EACCES) return fd;
  return UniqueFd(::open(linux_path.c_str(), flags | O_WRONLY, 0666));
}

struct OpenedFile {
  UniqueFd fd;
  bool existed = true;
};

// Opens as the disposition says, without truncating: that waits for the share
// check. On failure sets the last error.
bool open_for_disposition(const std::string& linux_path, DWORD access, DWORD disposition, OpenedFile& out) {
  const bool writable = (access & GENERIC_WRITE) != 0 || disposition == CREATE_ALWAYS;
  if (disposition == CREATE_NEW || disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS) {
    out.fd = open_descriptor(linux_path, writable, O_CREAT | O_EXCL);
    out.existed = !out.fd.valid() && errno == EEXIST;
    if (disposition == CREATE_NEW && out.existed) {
      SetLastError(ERROR_FILE_EXISTS);
      return false;
    }
  }
  if (!out.fd.valid() && out.existed) out.fd = open_descriptor(linux_path, writable, 0);
  if (!out.fd.valid()) set_error_from_errno(linux_path);
  return out.fd.valid();
}

bool valid_disposition(DWORD access, DWORD disposition) {
  if (disposition == TRUNCATE_EXISTING) return (access & GENERIC_WRITE) != 0;
  return disposition >= CREATE_NEW && disposition <= OPEN_ALWAYS;
}

// The checks that follow the open: no folders, the share modes, then truncation.
bool settle_opened_file(const OpenedFile& file, DWORD access, DWORD share, DWORD disposition,
                        const std::string& linux_path) {
  struct stat st {};
  if (::fstat(file.fd.get(), &st) != 0 || S_ISDIR(st.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  if (!claim_share(file.fd.get(), access, share)) {
    SetLastError(ERROR_SHARING_VIOLATION);
    return false;
  }
  const bool truncates = disposition == TRUNCATE_EXISTING || (disposition == CREATE_ALWAYS && file.existed);
  if (truncates && ::ftruncate(file.fd.get(), 0) != 0) {
    set_error_from_errno(linux_path);
    return false;
  }
  return true;
}

// Reads until the count is reached or the file ends, as ReadFile does on disk.
bool read_fully(int fd, LPVOID buffer, DWORD count, DWORD& done) {
  auto* bytes = static_cast<char*>(buffer);
  done = 0;
  while (done < count) {
    const ssize_t n = ::read(fd, bytes + done, count - done);
    if (n < 0 && errno == EINTR) continue;
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
  if (::lstat(linux_path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
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
  if (!winlayer::open_for_disposition(linux_path, dwDesiredAccess, dwCreationDisposition, file) ||
      !winlayer::settle_opened_file(file, dwDesiredAccess, dwShareMode, dwCreationDisposition, linux_path)) {
    return INVALID_HANDLE_VALUE;
  }
  const bool kept_existing = file.existed && (dwCreationDisposition == CREATE_ALWAYS ||
                                              dwCreationDisposition == OPEN_ALWAYS);
  auto object = std::make_unique<winlayer::FileObject>(std::move(file.fd), dwDesiredAccess);
  const HANDLE handle = winlayer::register_handle(std::move(object));
  SetLastError(kept_existing ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                     LPOVERLAPPED lpOverlapped) {
  if (lpNumberOfBytesRead != nullptr) *lpNumberOfBytesRead = 0;
  auto* file = winlayer::lookup_handle_as<winlayer::FileObject>(hFile);
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
  const auto* file = winlayer::lookup_handle_as<winlayer::FileObject>(hFile);
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

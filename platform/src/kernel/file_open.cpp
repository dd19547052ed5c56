// Opening files with Windows' share modes. They hold between handles of any
// process on the layer through open-file-description locks on reserved bytes far
// past any real data: a handle keeps a shared lock on one byte per right it
// holds and one per right it denies, and an open probes the bytes that would
// conflict.
#include "file_open.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>

#include "errors.h"
#include "winlayer/kernel.h"
#include "winlayer/kernel_file.h"

namespace winlayer {
namespace {

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

// Write access opens read-write where permissions allow, since a shared lock
// needs a readable descriptor. O_NONBLOCK keeps a FIFO from holding the open.
UniqueFd open_descriptor(const std::string& linux_path, bool writable, int create_flags) {
  const int flags = O_CLOEXEC | O_NONBLOCK | create_flags;
  if (!writable) return UniqueFd(::open(linux_path.c_str(), flags | O_RDONLY, 0666));
  UniqueFd fd(::open(linux_path.c_str(), flags | O_RDWR, 0666));
  if (fd.valid() || errno != EACCES) return fd;
  return UniqueFd(::open(linux_path.c_str(), flags | O_WRONLY, 0666));
}

// Opens as the disposition says, without truncating: that waits for the share
// check. On failure sets the last error.
bool open_for_disposition(const std::string& linux_path, bool writable, DWORD disposition, OpenedFile& out) {
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

// What may be opened: files and devices, read as Windows reads a device. A
// folder, a FIFO or a socket is none, and a read-only file takes no writing.
bool openable(const struct stat& st, bool writes) {
  if (S_ISDIR(st.st_mode) || S_ISFIFO(st.st_mode) || S_ISSOCK(st.st_mode)) return false;
  return !(writes && S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) == 0);
}

// The checks that follow the open: what the file is, the share modes, then
// truncation.
bool settle_opened_file(const OpenedFile& file, DWORD access, DWORD share, DWORD disposition,
                        const std::string& linux_path) {
  const bool truncates = disposition == TRUNCATE_EXISTING || (disposition == CREATE_ALWAYS && file.existed);
  struct stat st {};
  if (::fstat(file.fd.get(), &st) != 0 || !openable(st, file.existed && ((access & GENERIC_WRITE) != 0 || truncates))) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  const int flags = ::fcntl(file.fd.get(), F_GETFL);
  if (flags < 0 || ::fcntl(file.fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
    set_error_from_errno(linux_path);
    return false;
  }
  if (!claim_share(file.fd.get(), access, share)) {
    SetLastError(ERROR_SHARING_VIOLATION);
    return false;
  }
  if (truncates && ::ftruncate(file.fd.get(), 0) != 0) {
    set_error_from_errno(linux_path);
    return false;
  }
  return true;
}

}  // namespace

bool open_file(const std::string& linux_path, DWORD access, DWORD share, DWORD disposition, OpenedFile& out) {
  const bool writable = (access & GENERIC_WRITE) != 0 || disposition == CREATE_ALWAYS;
  if (open_for_disposition(linux_path, writable, disposition, out) &&
      settle_opened_file(out, access, share, disposition, linux_path)) {
    return true;
  }
  out.fd.reset();
  return false;
}

bool is_read_only(const std::string& linux_path) {
  struct stat st {};
  return ::lstat(linux_path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & S_IWUSR) == 0;
}

bool delete_denied_by_a_handle(const std::string& linux_path) {
  const UniqueFd fd(::open(linux_path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
  return fd.valid() && locked_elsewhere(fd.get(), denied_byte(kDeleteRight));
}

}  // namespace winlayer

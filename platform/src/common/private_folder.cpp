// Folders of the user's own, and the files in them, reached without following
// links.
#include "private_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "posix_io.h"
#include "profile.h"
#include "text.h"

namespace winlayer {
namespace {

// A name that stays inside the folder.
bool plain_name(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos;
}

// Whether what the descriptor opened is this user's and no one else may write to it.
bool owned_privately(int fd) {
  struct stat status {};
  return ::fstat(fd, &status) == 0 && status.st_uid == ::geteuid() && (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// A link where a file or folder was asked for is refused as access is.
int refusal(int error) { return error == ELOOP || error == ENOTDIR ? EACCES : error; }

std::string without_trailing_slashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

PrivateFolder::PrivateFolder(UniqueFd fd, std::string path, int error)
    : fd_(std::move(fd)), path_(std::move(path)), error_(error) {
  if (!fd_.valid()) errno = error_;
}

PrivateFolder PrivateFolder::open(const std::string& path) {
  const std::string name = without_trailing_slashes(path);
  return opened(AT_FDCWD, name, name);
}

PrivateFolder PrivateFolder::open_folder(std::string_view name) const {
  const std::string path = path_ + "/" + std::string(name);
  if (!usable(name)) return PrivateFolder({}, path, errno);
  return opened(fd_.get(), std::string(name), path);
}

PrivateFolder PrivateFolder::opened(int parent, const std::string& name, const std::string& path) {
  if (::mkdirat(parent, name.c_str(), 0700) != 0 && errno != EEXIST) return PrivateFolder({}, path, errno);
  UniqueFd fd(::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!fd.valid()) return PrivateFolder({}, path, refusal(errno));
  if (!owned_privately(fd.get())) return PrivateFolder({}, path, EACCES);
  return PrivateFolder(std::move(fd), path, 0);
}

bool PrivateFolder::usable(std::string_view name) const {
  if (!valid()) {
    errno = error_;
    return false;
  }
  if (!plain_name(name)) {
    errno = EINVAL;
    return false;
  }
  return true;
}

UniqueFd PrivateFolder::open_file(std::string_view name, int flags) const {
  if (!usable(name)) return {};
  // Not blocking, so that a FIFO in the file's place is refused, not waited on.
  UniqueFd fd(::openat(fd_.get(), std::string(name).c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
  if (!fd.valid()) {
    errno = refusal(errno);
    return fd;
  }
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != ::geteuid()) {
    errno = EACCES;
    return {};
  }
  return fd;
}

UniqueFd PrivateFolder::open_locked(std::string_view name) const {
  UniqueFd fd = open_file(name, O_RDWR | O_CREAT);
  if (!fd.valid()) return fd;
  int locked;
  do {
    locked = ::flock(fd.get(), LOCK_EX);
  } while (locked != 0 && errno == EINTR);
  if (locked != 0) return {};
  return fd;
}

bool PrivateFolder::read_file(std::string_view name, std::size_t limit, std::string& content) const {
  const UniqueFd fd = open_file(name, O_RDONLY);
  content.clear();
  return fd.valid() && read_all(fd.get(), content, limit);
}

bool PrivateFolder::replace_file(std::string_view name, std::string_view content) const {
  if (!usable(name)) return false;
  const std::string target(name);
  const std::string temporary = target + "." + std::to_string(::getpid()) + ".new";
  ::unlinkat(fd_.get(), temporary.c_str(), 0);  // left by an earlier process of this id that failed
  UniqueFd out = open_file(temporary, O_WRONLY | O_CREAT | O_EXCL);
  if (!out.valid()) return false;
  if (write_all(out.get(), content) && ::renameat(fd_.get(), temporary.c_str(), fd_.get(), target.c_str()) == 0) {
    return true;
  }
  const int error = errno;
  ::unlinkat(fd_.get(), temporary.c_str(), 0);
  errno = error;
  return false;
}

bool PrivateFolder::remove_file(std::string_view name) const {
  if (!usable(name)) return false;
  return ::unlinkat(fd_.get(), std::string(name).c_str(), 0) == 0;
}

std::vector<std::string> PrivateFolder::names() const {
  std::vector<std::string> names;
  if (!valid()) {
    errno = error_;
    return names;
  }
  DIR* dir = ::fdopendir(::dup(fd_.get()));
  if (dir == nullptr) return names;
  ::rewinddir(dir);
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name(entry->d_name);
    if (name != "." && name != "..") names.emplace_back(name);
  }
  ::closedir(dir);
  return names;
}

PrivateFolder session_folder() { return PrivateFolder::open(profile().logon_session); }

bool read_lines(int fd, std::size_t limit, std::string& text) {
  text.clear();
  if (::lseek(fd, 0, SEEK_SET) != 0 || !read_all(fd, text, limit)) return false;
  if (text.empty() || text.back() == '\n') return true;
  text.resize(text.rfind('\n') + 1);  // npos + 1: no whole line
  const auto whole = static_cast<off_t>(text.size());
  return ::ftruncate(fd, whole) == 0 && ::lseek(fd, whole, SEEK_SET) == whole;
}

bool find_line(std::string_view text, std::string_view wanted, std::size_t& index) {
  index = 0;
  for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1) {
    if (equal_ignoring_case_utf8(text.substr(start, end - start), wanted)) return true;
    ++index;
  }
  return false;
}

}  // namespace winlayer

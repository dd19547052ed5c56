// Whole reads and writes.
#include "posix_io.h"

#include <unistd.h>

#include <cerrno>

namespace winlayer {

bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

ssize_t read_some(int fd, void* buffer, std::size_t size) {
  ssize_t n;
  do {
    n = ::read(fd, buffer, size);
  } while (n < 0 && errno == EINTR);
  return n;
}

bool read_all(int fd, std::string& out, std::size_t limit) {
  const std::size_t start = out.size();
  char buffer[4096];
  for (;;) {
    const ssize_t n = read_some(fd, buffer, sizeof buffer);
    if (n < 0) return false;
    if (n == 0) return true;
    out.append(buffer, static_cast<std::size_t>(n));
    if (out.size() - start > limit) {
      errno = EFBIG;
      return false;
    }
  }
}

}  // namespace winlayer

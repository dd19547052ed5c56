// Appending trace lines.
#include "trace.h"

#include <fcntl.h>
#include <unistd.h>

#include "profile.h"

namespace winlayer {

void trace(const std::string& event) {
  const std::string& path = profile().trace_path;
  if (path.empty()) return;
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return;
  const std::string line = event + "\n";
  [[maybe_unused]] const ssize_t n = ::write(fd, line.data(), line.size());
  ::close(fd);
}

}  // namespace winlayer

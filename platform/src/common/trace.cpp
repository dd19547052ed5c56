// Appending trace lines.
#include "trace.h"

#include <fcntl.h>

#include "posix_io.h"
#include "profile.h"
#include "winlayer/unique_fd.h"

namespace winlayer {

void trace(const std::string& event) {
  const std::string& path = profile().trace_path;
  if (path.empty()) return;
  const UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
  if (fd.valid()) write_all(fd.get(), event + "\n");
}

}  // namespace winlayer

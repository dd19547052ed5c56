// The logon session's connections, one \\server\share a line in the profile's
// logon_session file.
#include "logon_session.h"

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "profile.h"
#include "text.h"

namespace winlayer {

bool logon_session_has_connection(std::string_view unc_root) {
  std::ifstream in(profile().logon_session);
  for (std::string line; std::getline(in, line);) {
    if (equal_ignoring_case_utf8(line, unc_root)) return true;
  }
  return false;
}

bool logon_session_add_connection(std::string_view unc_root) {
  if (logon_session_has_connection(unc_root)) return true;
  const int fd = ::open(profile().logon_session.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const std::string line = std::string(unc_root) + "\n";
  const bool written = ::write(fd, line.data(), line.size()) == static_cast<ssize_t>(line.size());
  ::close(fd);
  return written;
}

}  // namespace winlayer

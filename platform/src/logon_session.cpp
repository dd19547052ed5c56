// The logon session's connections, one \\server\share a line in the profile's
// logon_session file.
#include "logon_session.h"

#include <fcntl.h>

#include <fstream>
#include <string>

#include "posix_io.h"
#include "profile.h"
#include "text.h"
#include "winlayer/unique_fd.h"

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
  const UniqueFd fd(::open(profile().logon_session.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600));
  return fd.valid() && write_all(fd.get(), std::string(unc_root) + "\n");
}

}  // namespace winlayer

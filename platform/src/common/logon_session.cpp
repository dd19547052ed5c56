// The logon session's connections, one \\server\share a line in the session
// folder's connections file.
#include "logon_session.h"

#include <string>

#include "posix_io.h"
#include "private_folder.h"

namespace winlayer {
namespace {

constexpr const char* kConnections = "connections";
constexpr std::size_t kConnectionsLimit = 1 << 20;

// The connections, read from the locked file; the offset is then at its end.
bool read_connections(const UniqueFd& fd, std::string& text) {
  return fd.valid() && read_lines(fd.get(), kConnectionsLimit, text);
}

bool holds(std::string_view text, std::string_view unc_root) {
  std::size_t index = 0;
  return find_line(text, unc_root, index);
}

}  // namespace

bool logon_session_has_connection(std::string_view unc_root) {
  std::string text;
  return read_connections(session_folder().open_locked(kConnections), text) && holds(text, unc_root);
}

bool logon_session_add_connection(std::string_view unc_root) {
  const UniqueFd fd = session_folder().open_locked(kConnections);
  std::string text;
  if (!read_connections(fd, text)) return false;
  return holds(text, unc_root) || write_all(fd.get(), std::string(unc_root) + "\n");
}

}  // namespace winlayer

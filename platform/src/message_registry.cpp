// Registered window messages and class atoms: one table per logon session, kept
// in a file beside the session's connections, so that every process of the
// session gets the same id for the same name.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <string>

#include "errors.h"
#include "profile.h"
#include "text.h"
#include "winlayer/unique_fd.h"
#include "window_manager.h"
#include "winlayer/kernel.h"

namespace winlayer {
namespace {

constexpr UINT kFirstAtom = 0xC000;
constexpr UINT kLastAtom = 0xFFFF;

std::string table_path() { return profile().logon_session + ".atoms"; }

std::string read_all(int fd) {
  std::string text;
  char buffer[4096];
  ssize_t n;
  ::lseek(fd, 0, SEEK_SET);
  while ((n = ::read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(n));
  return text;
}

// The index of the name among the table's lines, or the number of lines.
UINT find_line(const std::string& table, const std::string& name, bool& found) {
  UINT index = 0;
  std::size_t start = 0;
  for (std::size_t end; (end = table.find('\n', start)) != std::string::npos; start = end + 1, ++index) {
    if (equal_ignoring_case_utf8(std::string_view(table).substr(start, end - start), name)) {
      found = true;
      return index;
    }
  }
  found = false;
  return index;
}

}  // namespace

// The session-wide id of a name; 0 with the error code when the table fails.
UINT register_atom(std::u16string_view name) {
  const std::string path = table_path();
  UniqueFd fd(::open(path.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0600));
  if (!fd.valid() || ::flock(fd.get(), LOCK_EX) != 0) {
    set_error_from_errno(path);
    return 0;
  }
  const std::string utf8 = utf16_to_utf8(name);
  bool found = false;
  const UINT index = find_line(read_all(fd.get()), utf8, found);
  if (found) return kFirstAtom + index;
  if (kFirstAtom + index > kLastAtom) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  const std::string line = utf8 + "\n";
  if (::write(fd.get(), line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
    set_error_from_errno(path);
    return 0;
  }
  return kFirstAtom + index;
}

}  // namespace winlayer

UINT WINAPI RegisterWindowMessageW(LPCWSTR lpString) {
  if (lpString == nullptr || *lpString == u'\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return winlayer::register_atom(lpString);
}

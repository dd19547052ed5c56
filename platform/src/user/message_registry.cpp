// Registered window messages and class atoms: one table per logon session, kept
// in the session folder's atoms file, so that every process of the session gets
// the same id for the same name.
#include <string>

#include "errors.h"
#include "posix_io.h"
#include "private_folder.h"
#include "text.h"
#include "winlayer/unique_fd.h"
#include "window_manager.h"
#include "winlayer/kernel.h"

namespace winlayer {
namespace {

constexpr UINT kFirstAtom = 0xC000;
constexpr UINT kLastAtom = 0xFFFF;

// The table's bound: every id used by a name of 255 characters, each three bytes
// in UTF-8, and its line end.
constexpr std::size_t kTableLimit = (kLastAtom - kFirstAtom + 1) * (255 * 3 + 1);

}  // namespace

// The session-wide id of a name; 0 with the error code when the table fails.
UINT register_atom(std::u16string_view name) {
  const PrivateFolder session = session_folder();
  const UniqueFd fd = session.open_locked("atoms");
  std::string table;
  if (!fd.valid() || !read_lines(fd.get(), kTableLimit, table)) {
    set_error_from_errno(session.path());
    return 0;
  }
  const std::string utf8 = utf16_to_utf8(name);
  std::size_t index = 0;
  if (find_line(table, utf8, index)) return kFirstAtom + static_cast<UINT>(index);
  if (kFirstAtom + index > kLastAtom) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  if (!write_all(fd.get(), utf8 + "\n")) {
    set_error_from_errno(session.path());
    return 0;
  }
  return kFirstAtom + static_cast<UINT>(index);
}

}  // namespace winlayer

UINT WINAPI RegisterWindowMessageW(LPCWSTR lpString) {
  if (lpString == nullptr || *lpString == u'\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return winlayer::register_atom(lpString);
}

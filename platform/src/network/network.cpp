// Windows networking on the layer: share connections checked against the
// profile's share table and kept in the logon session.
#include <cerrno>
#include <string>
#include <string_view>

#include "errors.h"
#include "logon_session.h"
#include "profile.h"
#include "text.h"
#include "winlayer/kernel.h"
#include "winlayer/network.h"

namespace {

// "\\server\share" of a remote name; false when it has no share.
bool share_root_of(std::string_view remote, std::string_view& root) {
  if (remote.size() < 3 || remote.substr(0, 2) != "\\\\") return false;
  const auto server_end = remote.find('\\', 2);
  if (server_end == std::string_view::npos || server_end == 2) return false;
  const auto share_end = remote.find('\\', server_end + 1);
  if ((share_end == std::string_view::npos ? remote.size() : share_end) == server_end + 1) return false;
  root = remote.substr(0, share_end);
  return true;
}

bool credentials_fit(const winlayer::Share& share, LPCWSTR password, LPCWSTR user) {
  if (password == nullptr || user == nullptr) return false;  // the logged-on user's own: never the share's
  return winlayer::equal_ignoring_case_utf8(winlayer::utf16_to_utf8(user), share.user) &&
         winlayer::utf16_to_utf8(password) == share.password;
}

DWORD connect(const NETRESOURCEW& resource, LPCWSTR password, LPCWSTR user) {
  if (resource.dwType != RESOURCETYPE_DISK && resource.dwType != RESOURCETYPE_ANY) return ERROR_BAD_DEV_TYPE;
  if (resource.lpLocalName != nullptr && *resource.lpLocalName != u'\0') return ERROR_NOT_SUPPORTED;
  const std::string remote = winlayer::utf16_to_utf8(resource.lpRemoteName);
  std::string_view root;
  if (!share_root_of(remote, root)) return ERROR_BAD_NET_NAME;
  DWORD error = ERROR_SUCCESS;
  const winlayer::Share* share = winlayer::profile().find_share(root, error);
  if (share == nullptr) return error;
  if (share->user.empty()) return NO_ERROR;  // an open share: nothing to connect
  if (!credentials_fit(*share, password, user)) return ERROR_LOGON_FAILURE;
  errno = 0;
  if (!winlayer::logon_session_add_connection(share->unc)) {
    const DWORD error = winlayer::error_from_errno(errno, winlayer::profile().logon_session);
    return error == ERROR_SUCCESS ? static_cast<DWORD>(ERROR_DISK_FULL) : error;  // a short write
  }
  return NO_ERROR;
}

}  // namespace

DWORD WINAPI WNetAddConnection2W(LPNETRESOURCEW lpNetResource, LPCWSTR lpPassword, LPCWSTR lpUserName,
                                 DWORD /*dwFlags*/) {
  const DWORD result = lpNetResource == nullptr || lpNetResource->lpRemoteName == nullptr
                           ? static_cast<DWORD>(ERROR_INVALID_PARAMETER)
                           : connect(*lpNetResource, lpPassword, lpUserName);
  SetLastError(result);
  return result;
}

// Windows networking: connecting network shares.
#ifndef WINLAYER_NETWORK_H
#define WINLAYER_NETWORK_H

#include "winlayer/types.h"

#define RESOURCETYPE_ANY 0x00000000u
#define RESOURCETYPE_DISK 0x00000001u
#define RESOURCETYPE_PRINT 0x00000002u

#define ERROR_BAD_DEV_TYPE 66L

#define CONNECT_UPDATE_PROFILE 0x00000001u
#define CONNECT_TEMPORARY 0x00000004u

typedef struct _NETRESOURCEW {
  DWORD dwScope;
  DWORD dwType;
  DWORD dwDisplayType;
  DWORD dwUsage;
  LPWSTR lpLocalName;
  LPWSTR lpRemoteName;
  LPWSTR lpComment;
  LPWSTR lpProvider;
} NETRESOURCEW, *LPNETRESOURCEW;

// Connects the share that lpRemoteName ("\\server\share", or a folder below it)
// lies on, with the user name and password, for the logon session: child
// processes and later runs reach the share from then on. Only dwType,
// lpLocalName and lpRemoteName are read. The result, also left for GetLastError:
// - NO_ERROR: connected, or the share needs no credentials at all;
// - ERROR_BAD_NETPATH: the profile knows no such server;
// - ERROR_BAD_NET_NAME: no such share on a known server, or no \\server\share;
// - ERROR_LOGON_FAILURE: user name or password wrong (the user name is compared
//   without regard to case, the password exactly); a null user name or password
//   stands for the logged-on user's own credentials, which no share of the
//   profile accepts, while an empty text is an empty password;
// - ERROR_BAD_DEV_TYPE: dwType neither RESOURCETYPE_DISK nor RESOURCETYPE_ANY;
// - ERROR_NOT_SUPPORTED: a local name (drive letter), which the layer does not map;
// - ERROR_INVALID_PARAMETER: no record or no remote name.
// dwFlags changes nothing: every connection lasts for the logon session.
DWORD WINAPI WNetAddConnection2W(LPNETRESOURCEW lpNetResource, LPCWSTR lpPassword, LPCWSTR lpUserName,
                                 DWORD dwFlags);

#endif

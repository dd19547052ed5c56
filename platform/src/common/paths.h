// Windows paths on the Linux file system. Drive Z: is the Linux root, other drive
// letters come from the profile, \\server\share reaches the folder the profile
// maps for that share. A path is first made full as GetFullPathNameW makes it
// (against the current folder, on the current drive), then translated; existing
// names match without regard to case.
#ifndef WINLAYER_PATHS_H
#define WINLAYER_PATHS_H

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "winlayer/types.h"

namespace winlayer {

// Pure: the full path of a path as GetFullPathNameW forms it. A relative path
// lies below current_folder (a full path), ".." climbing above it; a path rooted
// without a drive lies on the current folder's drive; "C:x" lies in the current
// folder when C: is its drive, else at the root of C:. Both slashes separate,
// doubled separators count once, "." and ".." resolve without climbing above the
// root, a component ending in one period loses it, and the last component loses
// every trailing period and blank unless a separator follows it. A trailing
// separator stays. "\\?\" paths are taken as they stand.
std::u16string full_path_name(std::u16string_view path, std::u16string_view current_folder);

// Pure: true when a name in the path holds a character that Windows forbids in
// file names: < > : " | ? * or a control character. A leading "\\?\" and the
// drive's colon are no part of a name.
bool has_forbidden_name_character(std::u16string_view path);

// Finds the Linux folder of \\server\share; on failure returns false and sets
// error to ERROR_BAD_NETPATH, ERROR_BAD_NET_NAME or ERROR_ACCESS_DENIED.
using ShareResolver = std::function<bool(std::string_view unc_root, std::string& folder, DWORD& error)>;

struct PathRules {
  std::map<char, std::string> drives;  // upper-case letter -> Linux folder, Z excluded
  ShareResolver shares;
};

// Pure translation of a full UTF-8 Windows path (a drive or a share; "\\?\" in
// front is dropped). A trailing separator stays, so that a file named with one
// is not found. On failure returns false with error ERROR_PATH_NOT_FOUND (an
// unknown drive, a path that is not full) or the share resolver's error.
bool translate_windows_path(std::string_view windows_path, const PathRules& rules, std::string& linux_path,
                            DWORD& error);

// Pure: the Windows form of an absolute Linux path: the drive whose folder holds
// it most closely, else Z:.
std::string windows_form_of(std::string_view linux_path, const std::map<char, std::string>& drives);

// Replaces each component that does not exist as written by an existing entry of
// the same name in another case, as far as such entries exist.
std::string match_existing_case(const std::string& linux_path);

// The whole rule with the profile: the full path, its translation and case
// matching. An empty path fails with ERROR_PATH_NOT_FOUND; a full path with a
// character Windows forbids in names with ERROR_INVALID_NAME, so that no such
// name reaches a file or a command line, even where Linux allows it (a current
// folder that holds one included). On failure sets the thread's last error and
// returns false.
bool to_linux_path(std::u16string_view windows_path, std::string& linux_path);
bool to_linux_path(std::string_view windows_path_utf8, std::string& linux_path);

// The Windows form of an absolute Linux path.
std::u16string to_windows_path(const std::string& linux_path);

// The Windows form of the process's current folder.
std::u16string current_windows_folder();

}  // namespace winlayer

#endif

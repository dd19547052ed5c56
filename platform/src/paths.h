// Windows paths on the Linux file system. Drive Z: is the Linux root, other drive
// letters come from the profile, \\server\share reaches the folder the profile
// maps for that share. Backslashes and forward slashes both separate, doubled
// separators count once, "." and ".." are resolved as Windows resolves full
// paths, and existing names match without regard to case.
#ifndef WINLAYER_PATHS_H
#define WINLAYER_PATHS_H

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "winlayer/types.h"

namespace winlayer {

// Finds the Linux folder of \\server\share; on failure returns false and sets
// error to ERROR_BAD_NETPATH, ERROR_BAD_NET_NAME or ERROR_ACCESS_DENIED.
using ShareResolver = std::function<bool(std::string_view unc_root, std::string& folder, DWORD& error)>;

struct PathRules {
  std::map<char, std::string> drives;  // upper-case letter -> Linux folder, Z excluded
  ShareResolver shares;
};

// Pure translation of a UTF-8 Windows path; relative paths stay relative. On
// failure returns false with error ERROR_PATH_NOT_FOUND (unknown drive, empty
// path) or the share resolver's error.
bool translate_windows_path(std::string_view windows_path, const PathRules& rules, std::string& linux_path,
                            DWORD& error);

// Pure: the Windows form of an absolute Linux path: the drive whose folder holds
// it most closely, else Z:.
std::string windows_form_of(std::string_view linux_path, const std::map<char, std::string>& drives);

// Replaces each component that does not exist as written by an existing entry of
// the same name in another case, as far as such entries exist.
std::string match_existing_case(const std::string& linux_path);

// The whole rule with the profile: translation and case matching. On failure
// sets the thread's last error and returns false.
bool to_linux_path(std::u16string_view windows_path, std::string& linux_path);
bool to_linux_path(std::string_view windows_path_utf8, std::string& linux_path);

// Absolute Windows path of a Linux path (relative ones are taken from the
// current folder).
std::u16string to_windows_path(const std::string& linux_path);

// True when the text is a Windows path (drive letter, UNC or leading backslash)
// rather than a Linux one.
bool looks_like_windows_path(std::string_view text);

}  // namespace winlayer

#endif

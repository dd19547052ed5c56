// Path translation between Windows and Linux.
#include "paths.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <vector>

#include "logon_session.h"
#include "profile.h"
#include "text.h"
#include "winlayer/kernel.h"

namespace winlayer {
namespace {

bool is_separator(char c) { return c == '\\' || c == '/'; }

char drive_letter_of(std::string_view path) {
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
  }
  return 0;
}

std::vector<std::string> split_components(std::string_view rest) {
  std::vector<std::string> parts;
  std::string current;
  for (char c : rest) {
    if (is_separator(c)) {
      if (!current.empty()) parts.push_back(current);
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) parts.push_back(current);
  return parts;
}

// Resolves "." and ".." below a root; ".." never climbs above it, as on Windows.
std::string join_below_root(const std::string& root, std::string_view rest, bool keep_leading_dots) {
  std::vector<std::string> kept;
  for (auto& part : split_components(rest)) {
    if (part == ".") continue;
    if (part == "..") {
      if (!kept.empty() && kept.back() != "..") kept.pop_back();
      else if (keep_leading_dots) kept.push_back(part);
      continue;
    }
    kept.push_back(part);
  }
  std::string out = root;
  for (const auto& part : kept) {
    if (!out.empty() && out.back() != '/') out += '/';
    out += part;
  }
  return out.empty() ? std::string(".") : out;
}

std::string strip_trailing_slash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

bool translate_unc(std::string_view path, const PathRules& rules, std::string& linux_path, DWORD& error) {
  // \\server\share\rest
  std::size_t i = 2;
  while (i < path.size() && !is_separator(path[i])) ++i;
  const std::size_t server_end = i;
  if (server_end == 2 || i >= path.size()) {
    error = ERROR_BAD_NETPATH;
    return false;
  }
  ++i;
  while (i < path.size() && !is_separator(path[i])) ++i;
  if (i == server_end + 1) {
    error = ERROR_BAD_NET_NAME;
    return false;
  }
  std::string root = "\\\\" + std::string(path.substr(2, server_end - 2)) + "\\" +
                     std::string(path.substr(server_end + 1, i - server_end - 1));
  std::string folder;
  if (!rules.shares || !rules.shares(root, folder, error)) return false;
  linux_path = join_below_root(strip_trailing_slash(folder), path.substr(i), false);
  return true;
}

bool resolve_profile_share(std::string_view unc_root, std::string& folder, DWORD& error) {
  const auto server_end = unc_root.find('\\', 2);
  const std::string_view server = unc_root.substr(0, server_end);
  bool server_known = false;
  for (const auto& share : profile().shares) {
    const std::string_view share_server = std::string_view(share.unc).substr(0, share.unc.find('\\', 2));
    if (!equal_ignoring_case_utf8(share_server, server)) continue;
    server_known = true;
    if (!equal_ignoring_case_utf8(share.unc, unc_root)) continue;
    if (!share.user.empty() && !logon_session_has_connection(share.unc)) {
      error = ERROR_ACCESS_DENIED;
      return false;
    }
    folder = share.linux_path;
    return true;
  }
  error = server_known ? ERROR_BAD_NET_NAME : ERROR_BAD_NETPATH;
  return false;
}

const PathRules& profile_rules() {
  static const PathRules rules{profile().drives, resolve_profile_share};
  return rules;
}

}  // namespace

bool looks_like_windows_path(std::string_view text) {
  return drive_letter_of(text) != 0 || (!text.empty() && text[0] == '\\');
}

bool translate_windows_path(std::string_view path, const PathRules& rules, std::string& linux_path,
                            DWORD& error) {
  if (path.size() >= 4 && path.substr(0, 4) == "\\\\?\\") path.remove_prefix(4);
  if (path.empty()) {
    error = ERROR_PATH_NOT_FOUND;
    return false;
  }
  if (path.size() >= 2 && is_separator(path[0]) && is_separator(path[1])) {
    return translate_unc(path, rules, linux_path, error);
  }
  if (const char letter = drive_letter_of(path)) {
    std::string root;
    if (letter == 'Z') {
      root = "/";
    } else if (const auto it = rules.drives.find(letter); it != rules.drives.end()) {
      root = strip_trailing_slash(it->second);
    } else {
      error = ERROR_PATH_NOT_FOUND;
      return false;
    }
    linux_path = join_below_root(root, path.substr(2), false);
    return true;
  }
  if (is_separator(path[0])) {  // the root of the current drive, which is Z:
    linux_path = join_below_root("/", path, false);
    return true;
  }
  linux_path = join_below_root("", path, true);
  return true;
}

std::string windows_form_of(std::string_view linux_path, const std::map<char, std::string>& drives) {
  char best_letter = 'Z';
  std::size_t best_length = 0;
  for (const auto& [letter, folder_raw] : drives) {
    const std::string folder = strip_trailing_slash(folder_raw);
    if (folder.size() <= best_length || linux_path.substr(0, folder.size()) != folder) continue;
    if (linux_path.size() > folder.size() && linux_path[folder.size()] != '/') continue;
    best_letter = letter;
    best_length = folder.size();
  }
  std::string rest(linux_path.substr(best_letter == 'Z' ? 0 : best_length));
  for (auto& c : rest) {
    if (c == '/') c = '\\';
  }
  if (rest.empty() || rest[0] != '\\') rest.insert(rest.begin(), '\\');
  return std::string(1, best_letter) + ":" + rest;
}

std::string match_existing_case(const std::string& linux_path) {
  const bool absolute = !linux_path.empty() && linux_path[0] == '/';
  std::string resolved = absolute ? "/" : "";
  struct stat st {};
  for (const auto& part : split_components(linux_path)) {
    const std::string base = resolved.empty() ? "." : resolved;
    std::string candidate = resolved + (resolved.empty() || resolved.back() == '/' ? "" : "/") + part;
    if (part != "." && part != ".." && ::lstat(candidate.c_str(), &st) != 0) {
      if (DIR* dir = ::opendir(base.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
          if (equal_ignoring_case_utf8(entry->d_name, part)) {
            candidate = resolved + (resolved.empty() || resolved.back() == '/' ? "" : "/") + entry->d_name;
            break;
          }
        }
        ::closedir(dir);
      }
    }
    resolved = candidate;
  }
  return resolved.empty() ? linux_path : resolved;
}

bool to_linux_path(std::string_view windows_path_utf8, std::string& linux_path) {
  DWORD error = ERROR_SUCCESS;
  std::string translated;
  if (!translate_windows_path(windows_path_utf8, profile_rules(), translated, error)) {
    SetLastError(error);
    return false;
  }
  linux_path = match_existing_case(translated);
  return true;
}

bool to_linux_path(std::u16string_view windows_path, std::string& linux_path) {
  return to_linux_path(utf16_to_utf8(windows_path), linux_path);
}

std::u16string to_windows_path(const std::string& linux_path) {
  std::string absolute = linux_path;
  if (absolute.empty() || absolute[0] != '/') {
    char cwd[4096];
    const std::string here = ::getcwd(cwd, sizeof cwd) != nullptr ? cwd : "/";
    absolute = join_below_root(here, linux_path, false);
  }
  return utf8_to_utf16(windows_form_of(absolute, profile().drives));
}

}  // namespace winlayer

// Full paths and path translation between Windows and Linux.
#include "paths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "errors.h"
#include "logon_session.h"
#include "private_folder.h"
#include "profile.h"
#include "text.h"
#include "unique_dir.h"
#include "winlayer/kernel.h"

namespace winlayer {
namespace {

template <class Char>
bool is_separator(Char c) {
  return c == Char('\\') || c == Char('/');
}

template <class Char>
bool is_unc(std::basic_string_view<Char> path) {
  return path.size() >= 2 && is_separator(path[0]) && is_separator(path[1]);
}

template <class Char>
bool has_drive(std::basic_string_view<Char> path) {
  const Char letter = path.empty() ? Char(0) : ascii_upper(path[0]);
  return path.size() >= 2 && path[1] == Char(':') && letter >= Char('A') && letter <= Char('Z');
}

// Where the root of a full path ends: after "C:", or after "\\server\share".
template <class Char>
std::size_t root_length(std::basic_string_view<Char> full) {
  if (!is_unc(full)) return 2;
  std::size_t i = 2;
  while (i < full.size() && !is_separator(full[i])) ++i;
  if (i < full.size()) ++i;
  while (i < full.size() && !is_separator(full[i])) ++i;
  return i;
}

// The components below a root with "." and ".." resolved, never above the
// root. With trim_names, a component ending in one period loses it, and the
// last one, when no separator follows it, every trailing period and blank.
template <class Char>
std::vector<std::basic_string_view<Char>> resolved_components(std::basic_string_view<Char> rest, bool trim_names) {
  std::vector<std::basic_string_view<Char>> parts;
  for (std::size_t start = 0, i = 0; i <= rest.size(); ++i) {
    if (i < rest.size() && !is_separator(rest[i])) continue;
    if (i > start) parts.push_back(rest.substr(start, i - start));
    start = i + 1;
  }
  const bool open_end = rest.empty() || !is_separator(rest.back());
  const Char dots[] = {Char('.'), Char(' '), Char(0)};
  std::vector<std::basic_string_view<Char>> kept;
  for (std::size_t n = 0; n < parts.size(); ++n) {
    auto part = parts[n];
    if (part.size() == 1 && part[0] == Char('.')) continue;
    if (part.size() == 2 && part[0] == Char('.') && part[1] == Char('.')) {
      if (!kept.empty()) kept.pop_back();
      continue;
    }
    if (trim_names && n + 1 == parts.size() && open_end) {
      part = part.substr(0, part.find_last_not_of(dots) + 1);  // npos + 1 is 0
    } else if (trim_names && part.size() >= 2 && part.back() == Char('.') && part[part.size() - 2] != Char('.')) {
      part.remove_suffix(1);
    }
    if (!part.empty()) kept.push_back(part);
  }
  return kept;
}

// The path joined to the current folder, before its components resolve.
std::u16string absolute_form(std::u16string_view path, std::u16string_view current) {
  if (is_unc(path)) return std::u16string(path);
  if (has_drive(path)) {
    if (path.size() > 2 && is_separator(path[2])) return std::u16string(path);
    const bool current_drive = has_drive(current) && ascii_upper(current[0]) == ascii_upper(path[0]);
    const std::u16string folder(current_drive ? current : path.substr(0, 2));
    return path.size() == 2 && current_drive ? folder : folder + u"\\" + std::u16string(path.substr(2));
  }
  if (!path.empty() && is_separator(path[0])) {
    return std::u16string(current.substr(0, root_length(current))) + std::u16string(path);
  }
  return std::u16string(current) + u"\\" + std::u16string(path);
}

std::string strip_trailing_slash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

// The Linux folder below a root and the rest of the path, a trailing separator kept.
std::string join_below(const std::string& root, std::string_view rest) {
  std::string out = root;
  for (const auto part : resolved_components(rest, /*trim_names=*/false)) {
    if (out.empty() || out.back() != '/') out += '/';
    out += part;
  }
  if (out.empty()) return "/";
  if (!rest.empty() && is_separator(rest.back()) && out.back() != '/') out += '/';
  return out;
}

bool translate_unc(std::string_view path, const PathRules& rules, std::string& linux_path, DWORD& error) {
  const std::size_t root_end = root_length(path);
  const std::size_t server_end = path.find_first_of("\\/", 2);
  if (server_end == 2 || server_end == std::string_view::npos) {
    error = ERROR_BAD_NETPATH;
    return false;
  }
  if (root_end == server_end + 1) {
    error = ERROR_BAD_NET_NAME;
    return false;
  }
  const std::string root = "\\\\" + std::string(path.substr(2, server_end - 2)) + "\\" +
                           std::string(path.substr(server_end + 1, root_end - server_end - 1));
  std::string folder;
  if (!rules.shares || !rules.shares(root, folder, error)) return false;
  linux_path = join_below(strip_trailing_slash(folder), path.substr(root_end));
  return true;
}

bool resolve_profile_share(std::string_view unc_root, std::string& folder, DWORD& error) {
  const Share* share = profile().find_share(unc_root, error);
  if (share == nullptr) return false;
  if (!share->user.empty() && !logon_session_has_connection(share->unc)) {
    error = ERROR_ACCESS_DENIED;
    return false;
  }
  folder = share->linux_path;
  return true;
}

const PathRules& profile_rules() {
  static const PathRules rules{profile().drives, resolve_profile_share};
  return rules;
}

// The layer's own drive C: exists from its first use on, a folder of the user's
// own; false with errno set (EACCES) when what has its name is not.
bool make_default_drive_c() {
  static std::atomic<bool> made{false};
  if (made) return true;
  const std::string& folder = profile().drives.at('C');
  for (std::size_t end = folder.find('/', 1); end != std::string::npos; end = folder.find('/', end + 1)) {
    ::mkdir(folder.substr(0, end).c_str(), 0700);
  }
  made = PrivateFolder::open(folder).valid();
  return made;
}

}  // namespace

std::u16string full_path_name(std::u16string_view path, std::u16string_view current_folder) {
  if (path.substr(0, 4) == u"\\\\?\\") return std::u16string(path);
  const std::u16string whole = absolute_form(path, current_folder);
  const std::u16string_view view(whole);
  const std::size_t root_end = root_length(view);
  std::u16string out(view.substr(0, root_end));
  for (auto& c : out) {
    if (c == u'/') c = u'\\';
  }
  const std::u16string_view rest = view.substr(root_end);
  const auto parts = resolved_components(rest, /*trim_names=*/true);
  for (const auto part : parts) (out += u'\\') += part;
  const bool drive_root = parts.empty() && !is_unc(view);
  if (drive_root || (!rest.empty() && is_separator(rest.back()))) out += u'\\';
  return out;
}

bool has_forbidden_name_character(std::u16string_view path) {
  if (path.substr(0, 4) == u"\\\\?\\") path.remove_prefix(4);
  if (has_drive(path)) path.remove_prefix(2);
  return std::any_of(path.begin(), path.end(), [](char16_t c) {
    return c < u' ' || std::u16string_view(u"<>:\"|?*").find(c) != std::u16string_view::npos;
  });
}

bool translate_windows_path(std::string_view path, const PathRules& rules, std::string& linux_path,
                            DWORD& error) {
  if (path.substr(0, 8) == "\\\\?\\UNC\\") {
    return translate_unc("\\\\" + std::string(path.substr(8)), rules, linux_path, error);
  }
  if (path.substr(0, 4) == "\\\\?\\") path.remove_prefix(4);
  if (is_unc(path)) return translate_unc(path, rules, linux_path, error);
  if (!has_drive(path)) {
    error = ERROR_PATH_NOT_FOUND;
    return false;
  }
  const char letter = ascii_upper(path[0]);
  std::string root;
  if (letter == 'Z') {
    root = "/";
  } else if (const auto it = rules.drives.find(letter); it != rules.drives.end()) {
    root = strip_trailing_slash(it->second);
  } else {
    error = ERROR_PATH_NOT_FOUND;
    return false;
  }
  linux_path = join_below(root, path.substr(2));
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
  for (const auto part : resolved_components(std::string_view(linux_path), /*trim_names=*/false)) {
    const std::string base = resolved.empty() ? "." : resolved;
    const std::string prefix = resolved + (resolved.empty() || resolved.back() == '/' ? "" : "/");
    std::string candidate = prefix + std::string(part);
    if (::lstat(candidate.c_str(), &st) != 0) {
      UniqueDir dir(base);
      while (const dirent* entry = dir.next()) {
        if (equal_ignoring_case_utf8(entry->d_name, part)) {
          candidate = prefix + entry->d_name;
          break;
        }
      }
    }
    resolved = candidate;
  }
  if (resolved.empty()) return linux_path;
  if (linux_path.back() == '/' && resolved.back() != '/') resolved += '/';
  return resolved;
}

std::u16string current_windows_folder() {
  char cwd[4096];
  return to_windows_path(::getcwd(cwd, sizeof cwd) != nullptr ? cwd : "/");
}

bool to_linux_path(std::u16string_view windows_path, std::string& linux_path) {
  if (windows_path.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  const std::u16string full = full_path_name(windows_path, current_windows_folder());
  if (has_forbidden_name_character(full)) {
    SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  DWORD error = ERROR_SUCCESS;
  std::string translated;
  if (!translate_windows_path(utf16_to_utf8(full), profile_rules(), translated, error)) {
    SetLastError(error);
    return false;
  }
  if (profile().default_drive_c && has_drive(std::u16string_view(full)) && ascii_upper(full[0]) == u'C' &&
      !make_default_drive_c()) {
    set_error_from_errno(profile().drives.at('C'));
    return false;
  }
  linux_path = match_existing_case(translated);
  return true;
}

bool to_linux_path(std::string_view windows_path_utf8, std::string& linux_path) {
  return to_linux_path(utf8_to_utf16(windows_path_utf8), linux_path);
}

std::u16string to_windows_path(const std::string& linux_path) {
  return utf8_to_utf16(windows_form_of(linux_path, profile().drives));
}

}  // namespace winlayer

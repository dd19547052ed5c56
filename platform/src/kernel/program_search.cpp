// The program search of CreateProcessW.
#include "program_search.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "cmdline.h"
#include "errors.h"
#include "paths.h"
#include "profile.h"
#include "program_file.h"
#include "text.h"
#include "winlayer/kernel.h"

namespace winlayer {
namespace {

bool is_blank(char16_t c) { return c == u' ' || c == u'\t'; }
bool is_separator(char16_t c) { return c == u'\\' || c == u'/'; }

bool is_regular_file(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string folder_of_running_program() {
  const std::string file = program_file_linux_path();
  const auto slash = file.find_last_of('/');
  return slash == std::string::npos ? std::string() : file.substr(0, slash);
}

std::string current_folder() {
  char path[4096];
  return ::getcwd(path, sizeof path) != nullptr ? std::string(path) : std::string(".");
}

// The folders a plain name is searched in, in Windows' order.
std::vector<std::string> search_folders() {
  std::vector<std::string> folders{folder_of_running_program(), current_folder(), profile().system_folder};
  std::string windows;
  if (to_linux_path(std::string_view(profile().windows), windows)) folders.push_back(windows);
  const char* path = std::getenv("PATH");
  for (std::string_view rest = path != nullptr ? path : ""; !rest.empty();) {
    const auto colon = rest.find(':');
    if (colon != 0) folders.emplace_back(rest.substr(0, colon));
    rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
  }
  return folders;
}

std::string find_in_folders(std::u16string_view name) {
  const std::vector<std::u16string> files = file_name_candidates(name);
  for (const auto& folder : search_folders()) {
    if (folder.empty()) continue;
    for (const auto& file : files) {
      const std::string path = match_existing_case(folder + "/" + utf16_to_utf8(file));
      if (is_regular_file(path)) return path;
    }
  }
  return {};
}

// A name with a folder part, or lpApplicationName: translated, not searched.
std::string find_at_path(std::u16string_view file, DWORD& error) {
  std::string path;
  if (!to_linux_path(file, path)) {
    error = GetLastError();
    return {};
  }
  if (is_regular_file(path)) return path;
  struct stat st {};
  error = ::stat(path.c_str(), &st) == 0 ? static_cast<DWORD>(ERROR_ACCESS_DENIED) : error_from_errno(ENOENT, path);
  return {};
}

std::string find_one(std::u16string_view name, DWORD& error) {
  if (!has_folder_part(name)) {
    if (has_forbidden_name_character(name)) {  // searched as it stands, not through to_linux_path
      error = ERROR_INVALID_NAME;
      return {};
    }
    error = ERROR_FILE_NOT_FOUND;
    return find_in_folders(name);
  }
  for (const auto& file : file_name_candidates(name)) {
    std::string path = find_at_path(file, error);
    if (!path.empty()) return path;
  }
  return {};
}

}  // namespace

std::vector<std::u16string> head_candidates(std::u16string_view line) {
  if (!line.empty() && line[0] == u'"') {
    std::u16string name;
    read_program_name(line, Splitter::kShell, name);
    return {name};
  }
  std::vector<std::u16string> heads;
  for (std::size_t i = 1; i < line.size(); ++i) {
    if (is_blank(line[i]) && !is_blank(line[i - 1])) heads.emplace_back(line.substr(0, i));
  }
  const auto end = line.find_last_not_of(u" \t");
  if (end != std::u16string_view::npos && (heads.empty() || heads.back().size() != end + 1)) {
    heads.emplace_back(line.substr(0, end + 1));
  }
  return heads;
}

std::vector<std::u16string> file_name_candidates(std::u16string_view name) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (is_separator(name[i]) || (i == 1 && name[i] == u':')) start = i + 1;
  }
  if (name.substr(start).find(u'.') != std::u16string_view::npos) return {std::u16string(name)};
  return {std::u16string(name) + u".exe", std::u16string(name)};
}

bool has_folder_part(std::u16string_view name) {
  for (char16_t c : name) {
    if (is_separator(c)) return true;
  }
  return name.size() >= 2 && name[1] == u':';
}

std::string find_program(std::u16string_view command_line, DWORD& error) {
  bool first = true;
  for (const auto& head : head_candidates(command_line)) {
    DWORD head_error = ERROR_FILE_NOT_FOUND;
    std::string path = find_one(head, head_error);
    if (!path.empty()) return path;
    if (first) error = head_error;  // the failure reported is the shortest head's
    first = false;
  }
  if (first) error = ERROR_FILE_NOT_FOUND;
  return {};
}

std::string find_named_program(std::u16string_view name, DWORD& error) {
  if (name.empty()) {
    error = ERROR_PATH_NOT_FOUND;
    return {};
  }
  return find_at_path(name, error);
}

}  // namespace winlayer

// rd and del on the layer's file system, with the interpreter's messages.
#include "builtins.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>

#include "cmd_rules.h"
#include "errors.h"
#include "file_open.h"
#include "paths.h"
#include "text.h"
#include "unique_dir.h"
#include "win32.h"

namespace winlayer::cmd {
namespace {

constexpr int kSyntaxError = 1;
constexpr int kNotACommand = 9009;

// Standard output and error are text mode: each line ends in CR LF there.
void say(std::FILE* stream, const std::string& line) {
  std::fputs((line + "\n").c_str(), stream);
  std::fflush(stream);
}

// The system's message for an error code, as the interpreter prints it.
std::string message_of(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND: return "The system cannot find the file specified.";
    case ERROR_PATH_NOT_FOUND: return "The system cannot find the path specified.";
    case ERROR_ACCESS_DENIED: return "Access is denied.";
    case ERROR_SHARING_VIOLATION: return "The process cannot access the file because it is being used by another process.";
    case ERROR_BAD_NETPATH: return "The network path was not found.";
    case ERROR_BAD_NET_NAME: return "The network name cannot be found.";
    case ERROR_INVALID_NAME: return "The filename, directory name, or volume label syntax is incorrect.";
    case ERROR_DIR_NOT_EMPTY: return "The directory is not empty.";
    case ERROR_DIRECTORY: return "The directory name is invalid.";
    default: return "Error " + std::to_string(error) + ".";
  }
}

int fail(DWORD error) {
  say(stderr, message_of(error));
  return static_cast<int>(error);
}

int invalid_switch(const std::u16string& letters) {
  say(stderr, "Invalid switch - \"" + utf16_to_utf8(letters) + "\".");
  return kSyntaxError;
}

bool confirmed(const std::u16string& question) {
  std::fputs((utf16_to_utf8(question) + ", Are you sure (Y/N)? ").c_str(), stdout);
  std::fflush(stdout);
  char answer[16] = {};
  return std::fgets(answer, sizeof answer, stdin) != nullptr && (answer[0] == 'y' || answer[0] == 'Y');
}

// The full path, as the interpreter shows it in its messages.
std::u16string shown_path(const std::u16string& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  std::u16string full(size, u'\0');
  full.resize(GetFullPathNameW(path.c_str(), size, full.data(), nullptr));
  return full;
}

// The switch letters of a call, each one of those it knows, and at least one
// argument; false after the message, with the exit code.
bool read_switches(const BuiltinCall& call, std::u16string_view known, std::u16string& given, int& code) {
  for (const auto& letters : call.switches) {
    const char16_t letter = letters.size() == 1 ? ascii_upper(letters[0]) : u'\0';
    if (letter == u'\0' || known.find(letter) == std::u16string_view::npos) {
      code = invalid_switch(letters);
      return false;
    }
    given += letter;
  }
  if (call.arguments.empty()) {
    say(stderr, "The syntax of the command is incorrect.");
    code = kSyntaxError;
    return false;
  }
  return true;
}

int remove_directory(const std::u16string& path, bool tree, bool quiet) {
  std::string folder;
  if (!to_linux_path(path, folder)) return fail(GetLastError());
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0) return fail(error_from_errno(errno, folder));
  if (!S_ISDIR(st.st_mode)) return fail(ERROR_DIRECTORY);
  if (tree && !quiet && !confirmed(shown_path(path))) return 0;
  std::error_code error;
  if (tree) {
    std::filesystem::remove_all(folder, error);
  } else if (::rmdir(folder.c_str()) != 0) {
    error.assign(errno, std::generic_category());
  }
  return error ? fail(error_from_errno(error.value(), folder)) : 0;
}

// One file, as DeleteFileW deletes it; /F first clears the read-only attribute,
// which is the owner's write permission on the layer. Says which file and why
// when it stays.
bool delete_one(const std::string& file, const std::u16string& shown, bool force) {
  struct stat st {};
  if (force && is_read_only(file) && ::lstat(file.c_str(), &st) == 0) ::chmod(file.c_str(), st.st_mode | S_IWUSR);
  if (DeleteFileW(shown.c_str())) return true;
  const DWORD error = GetLastError();
  say(stderr, utf16_to_utf8(shown));
  fail(error);
  return false;
}

// del on a folder deletes the files in it, as "folder\*" does.
int delete_files_in(const std::string& folder, const std::u16string& shown, bool quiet, bool force) {
  if (!quiet && !confirmed(shown + u"\\*")) return 0;
  UniqueDir dir(folder);
  if (!dir.valid()) return fail(error_from_errno(errno, folder));
  int code = 0;
  while (const dirent* entry = dir.next()) {
    const std::string file = folder + "/" + entry->d_name;
    struct stat st {};
    if (::lstat(file.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) continue;
    if (!delete_one(file, shown + u"\\" + utf8_to_utf16(entry->d_name), force)) code = kSyntaxError;
  }
  return code;
}

// del ends with 0 for a missing file, 1 when it cannot reach the path or the file.
int delete_file(const std::u16string& path, bool quiet, bool force) {
  const std::u16string shown = shown_path(path);
  std::string file;
  if (!to_linux_path(path, file)) {
    fail(GetLastError());
    return kSyntaxError;
  }
  struct stat st {};
  if (::lstat(file.c_str(), &st) != 0) {
    const DWORD error = error_from_errno(errno, file);
    if (error != ERROR_FILE_NOT_FOUND) {
      fail(error);
      return kSyntaxError;
    }
    say(stderr, "Could Not Find " + utf16_to_utf8(shown));
    return 0;
  }
  if (S_ISDIR(st.st_mode)) return delete_files_in(file, shown, quiet, force);
  return delete_one(file, shown, force) ? 0 : kSyntaxError;
}

int rd(const BuiltinCall& call) {
  std::u16string given;
  int code = 0;
  if (!read_switches(call, u"SQ", given, code)) return code;
  const bool tree = given.find(u'S') != std::u16string::npos;
  const bool quiet = given.find(u'Q') != std::u16string::npos;
  for (const auto& path : call.arguments) {
    if (const int result = remove_directory(path, tree, quiet); result != 0) code = result;
  }
  return code;
}

int del(const BuiltinCall& call) {
  std::u16string given;
  int code = 0;
  if (!read_switches(call, u"QF", given, code)) return code;
  const bool quiet = given.find(u'Q') != std::u16string::npos;
  const bool force = given.find(u'F') != std::u16string::npos;
  for (const auto& path : call.arguments) {
    if (const int result = delete_file(path, quiet, force); result != 0) code = result;
  }
  return code;
}

}  // namespace

int run_command(std::u16string_view command) {
  const BuiltinCall call = split_builtin(command);
  if (call.name.empty()) return 0;
  if (equal_ignoring_ascii_case(call.name, u"rd") || equal_ignoring_ascii_case(call.name, u"rmdir")) return rd(call);
  if (equal_ignoring_ascii_case(call.name, u"del") || equal_ignoring_ascii_case(call.name, u"erase")) return del(call);
  say(stderr, "'" + utf16_to_utf8(call.name) + "' is not recognized as an internal or external command,");
  say(stderr, "operable program or batch file.");
  return kNotACommand;
}

}  // namespace winlayer::cmd

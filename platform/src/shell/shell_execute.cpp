// ShellExecuteW: opening a file with the program that the machine profile
// associates with its type, started as any other process of the layer.
#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "errors.h"
#include "paths.h"
#include "profile.h"
#include "text.h"
#include "winlayer/kernel.h"
#include "winlayer/kernel_process.h"
#include "winlayer/shell.h"

namespace {

// Any value above 32 means success; Windows gives no more than that.
const auto kStarted = reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(42));

HINSTANCE fail(DWORD error, int result) {
  SetLastError(error);
  return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(result));
}

// The result for an error of the file or of the program's start.
HINSTANCE fail_with(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_INVALID_NAME: return fail(error, SE_ERR_FNF);
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY: return fail(error, SE_ERR_PNF);
    case ERROR_BAD_FORMAT: return fail(error, ERROR_BAD_FORMAT);
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return fail(error, SE_ERR_OOM);
    default: return fail(error, SE_ERR_ACCESSDENIED);
  }
}

bool is_open(LPCWSTR operation) {
  return operation == nullptr || winlayer::equal_ignoring_case(operation, u"open");
}

// ".txt" of "C:\a.b\notes.TXT", in lower case; empty without an extension.
std::string extension_of(const std::string& path) {
  const auto name = path.find_last_of("\\/") + 1;
  const auto dot = path.find_last_of('.');
  if (dot == std::string::npos || dot < name) return {};
  return winlayer::ascii_lower(path.substr(dot));
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

// The command line that opens the file, or empty when nothing does.
std::string command_for(const std::string& file, bool folder, LPCWSTR parameters) {
  const std::string extension = folder ? std::string() : extension_of(file);
  if (!folder && extension.empty()) return {};
  if (extension == ".exe") {
    return parameters == nullptr || *parameters == u'\0'
               ? quoted(file)
               : quoted(file) + " " + winlayer::utf16_to_utf8(parameters);
  }
  const std::string program = winlayer::profile().ini.get("associations", folder ? "folder" : extension);
  return program.empty() ? std::string() : quoted(program) + " " + quoted(file);
}

// The file as a full Windows path, as the started program receives it.
std::string full_path(const std::string& file, const std::string& linux_path) {
  const bool absolute = (file.size() >= 3 && file[1] == ':' && (file[2] == '\\' || file[2] == '/')) ||
                        file.rfind("\\\\", 0) == 0;
  return absolute ? file : winlayer::utf16_to_utf8(winlayer::to_windows_path(linux_path));
}

HINSTANCE start(const std::string& command_line, LPCWSTR directory, int show) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(show);
  PROCESS_INFORMATION process = {};
  std::u16string writable = winlayer::utf8_to_utf16(command_line);
  if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, directory, &startup,
                      &process)) {
    return fail_with(GetLastError());
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return kStarted;
}

}  // namespace

HINSTANCE WINAPI ShellExecuteW(HWND, LPCWSTR lpOperation, LPCWSTR lpFile, LPCWSTR lpParameters,
                               LPCWSTR lpDirectory, int nShowCmd) {
  if (lpFile == nullptr || *lpFile == u'\0') return fail(ERROR_FILE_NOT_FOUND, SE_ERR_FNF);
  const std::string file = winlayer::utf16_to_utf8(lpFile);
  std::string linux_path;
  if (!winlayer::to_linux_path(file, linux_path)) return fail_with(GetLastError());
  struct stat st {};
  if (::stat(linux_path.c_str(), &st) != 0) return fail_with(winlayer::error_from_errno(errno, linux_path));
  const std::string command = command_for(full_path(file, linux_path), S_ISDIR(st.st_mode), lpParameters);
  if (command.empty() || !is_open(lpOperation)) return fail(ERROR_NO_ASSOCIATION, SE_ERR_NOASSOC);
  return start(command, lpDirectory, nShowCmd);
}

// Shell functions: argument splitting and path tests.
#include <sys/stat.h>

#include <cstring>
#include <string>
#include <vector>

#include "cmdline.h"
#include "errors.h"
#include "paths.h"
#include "winlayer/kernel.h"
#include "winlayer/shell.h"

namespace {

std::u16string own_program_path() {
  WCHAR path[32768];
  const DWORD n = GetModuleFileNameW(nullptr, path, sizeof path / sizeof path[0]);
  return std::u16string(path, n);
}

// One block: the pointer array, then each argument's text with its NUL.
LPWSTR* pack_arguments(const std::vector<std::u16string>& args) {
  std::size_t bytes = (args.size() + 1) * sizeof(LPWSTR);
  for (const auto& a : args) bytes += (a.size() + 1) * sizeof(WCHAR);
  auto* block = static_cast<LPWSTR*>(LocalAlloc(LPTR, bytes));
  if (block == nullptr) return nullptr;
  auto* text = reinterpret_cast<WCHAR*>(block + args.size() + 1);
  for (std::size_t i = 0; i < args.size(); ++i) {
    block[i] = text;
    std::memcpy(text, args[i].c_str(), (args[i].size() + 1) * sizeof(WCHAR));
    text += args[i].size() + 1;
  }
  block[args.size()] = nullptr;
  return block;
}

}  // namespace

LPWSTR* WINAPI CommandLineToArgvW(LPCWSTR lpCmdLine, int* pNumArgs) {
  if (pNumArgs == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const std::vector<std::u16string> args = (lpCmdLine == nullptr || *lpCmdLine == u'\0')
                                               ? std::vector<std::u16string>{own_program_path()}
                                               : winlayer::split_command_line(lpCmdLine, winlayer::Splitter::kShell);
  LPWSTR* block = pack_arguments(args);
  if (block != nullptr) *pNumArgs = static_cast<int>(args.size());
  return block;
}

BOOL WINAPI PathFileExistsW(LPCWSTR pszPath) {
  std::string linux_path;
  if (pszPath == nullptr || !winlayer::to_linux_path(std::u16string_view(pszPath), linux_path)) {
    if (pszPath == nullptr) SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  struct stat st {};
  if (::stat(linux_path.c_str(), &st) != 0) {
    winlayer::set_error_from_errno(linux_path);
    return FALSE;
  }
  return TRUE;
}

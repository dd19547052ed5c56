// Kernel functions that describe the running process and its machine: command
// line, program file, modules and WOW64.
#include <link.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cmdline.h"
#include "paths.h"
#include "profile.h"
#include "program_file.h"
#include "startup_channel.h"
#include "text.h"
#include "winlayer/kernel.h"

namespace {

std::u16string command_line_from_proc() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::u16string> args;
  std::size_t start = 0;
  while (start < raw.size()) {
    const auto end = raw.find('\0', start);
    args.push_back(winlayer::utf8_to_utf16(raw.substr(start, end - start)));
    start = end == std::string::npos ? raw.size() : end + 1;
  }
  return winlayer::join_command_line(args);
}

char program_module_tag;
char kernel_module_tag;

// A DLL named "N.dll" (or "N") is the shared library libN.so of the process.
std::u16string library_file_name(std::u16string_view name) {
  std::u16string_view stem = name;
  if (stem.size() > 4 && winlayer::equal_ignoring_case(stem.substr(stem.size() - 4), u".dll")) {
    stem.remove_suffix(4);
  }
  return u"lib" + std::u16string(stem) + u".so";
}

struct LoadedLibrary {
  std::u16string wanted;     // the file name looked for, or empty
  std::uintptr_t base = 0;   // the load address looked for, or 0
  std::uintptr_t found = 0;  // the module's load address
  std::string path;          // its Linux path
};

int match_library(dl_phdr_info* info, std::size_t, void* data) {
  auto& lookup = *static_cast<LoadedLibrary*>(data);
  if (info->dlpi_addr == 0 || info->dlpi_name == nullptr || info->dlpi_name[0] == '\0') return 0;
  const std::string path = info->dlpi_name;
  const std::u16string file = winlayer::utf8_to_utf16(path.substr(path.rfind('/') + 1));
  const bool match = lookup.base != 0 ? info->dlpi_addr == lookup.base
                                      : winlayer::equal_ignoring_case(file, lookup.wanted);
  if (!match) return 0;
  lookup.found = info->dlpi_addr;
  lookup.path = path;
  return 1;
}

// The loaded library by DLL name or by handle (its load address, as a module
// handle is its base address on Windows).
LoadedLibrary find_library(LPCWSTR name, HMODULE handle) {
  LoadedLibrary lookup;
  if (name != nullptr) lookup.wanted = library_file_name(name);
  lookup.base = reinterpret_cast<std::uintptr_t>(handle);
  dl_iterate_phdr(match_library, &lookup);
  return lookup;
}

bool is_kernel_name(LPCWSTR name) {
  const std::u16string_view n(name);
  return winlayer::equal_ignoring_case(n, u"kernel32") || winlayer::equal_ignoring_case(n, u"kernel32.dll");
}

}  // namespace

std::string winlayer::program_file_linux_path() {
  char path[4096];
  const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
  return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string();
}

LPWSTR WINAPI GetCommandLineW() {
  static std::u16string line = [] {
    std::u16string passed;
    return winlayer::take_passed_command_line(passed) ? passed : command_line_from_proc();
  }();
  return line.data();
}

DWORD WINAPI GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) {
  std::string linux_path;
  if (hModule == nullptr || hModule == reinterpret_cast<HMODULE>(&program_module_tag)) {
    linux_path = winlayer::program_file_linux_path();
  } else {
    linux_path = find_library(nullptr, hModule).path;
    if (linux_path.empty()) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return 0;
    }
  }
  const std::u16string path = winlayer::to_windows_path(linux_path);
  if (nSize == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (path.size() >= nSize) {
    std::copy(path.begin(), path.begin() + (nSize - 1), lpFilename);
    lpFilename[nSize - 1] = u'\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
  }
  std::copy(path.begin(), path.end(), lpFilename);
  lpFilename[path.size()] = u'\0';
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(path.size());
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName) {
  if (lpModuleName == nullptr) return reinterpret_cast<HMODULE>(&program_module_tag);
  if (is_kernel_name(lpModuleName)) return reinterpret_cast<HMODULE>(&kernel_module_tag);
  if (const std::uintptr_t base = find_library(lpModuleName, nullptr).found) return reinterpret_cast<HMODULE>(base);
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
  if (hModule == nullptr) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  if (hModule == reinterpret_cast<HMODULE>(&kernel_module_tag) && lpProcName != nullptr &&
      std::strcmp(lpProcName, "IsWow64Process") == 0 && winlayer::profile().has_iswow64process) {
    // Through void(*)(), the generic function pointer, as FARPROC stands for any export.
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(&IsWow64Process));
  }
  SetLastError(ERROR_PROC_NOT_FOUND);
  return nullptr;
}

HANDLE WINAPI GetCurrentProcess() { return INVALID_HANDLE_VALUE; }

BOOL WINAPI IsWow64Process(HANDLE hProcess, PBOOL Wow64Process) {
  if (hProcess != GetCurrentProcess() || Wow64Process == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  *Wow64Process = winlayer::profile().wow64 ? TRUE : FALSE;
  return TRUE;
}

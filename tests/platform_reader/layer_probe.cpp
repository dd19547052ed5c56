// A child program of the layer tests: calls one layer function that depends on
// the machine profile, which the layer reads once per process, and prints what
// it gave. Usage:
//   layer_probe iswow64process         GetProcAddress, then IsWow64Process
//   layer_probe windows <size>         GetWindowsDirectoryW
//   layer_probe programfiles <create>  SHGetSpecialFolderPathW, CSIDL_PROGRAM_FILES
//   layer_probe fullpath <name>        GetFullPathNameW
//   layer_probe exists <name>          PathFileExistsW
//   layer_probe create <name>          CreateFileW(GENERIC_WRITE, CREATE_ALWAYS), then CloseHandle
//   layer_probe temppath               GetTempPathW
#include <cstdio>
#include <cstdlib>
#include <string>

#include "wide_text.h"
#include "winlayer/winlayer.h"

namespace {

using ombrix_test::Utf8;

void iswow64process() {
  using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
  SetLastError(0);
  const FARPROC found = GetProcAddress(GetModuleHandleW(u"kernel32"), "IsWow64Process");
  if (found == nullptr) {
    std::printf("missing error=%u\n", GetLastError());
    return;
  }
  BOOL wow64 = 2;
  const BOOL result =
      reinterpret_cast<IsWow64ProcessFunction>(reinterpret_cast<void (*)()>(found))(GetCurrentProcess(), &wow64);
  std::printf("returned=%d wow64=%d\n", result, wow64);
}

void windows(const char* size) {
  WCHAR buffer[MAX_PATH] = {u'#', u'\0'};
  const UINT result = GetWindowsDirectoryW(buffer, static_cast<UINT>(std::atoi(size)));
  std::printf("returned=%u text=%s\n", result, Utf8(buffer).c_str());
}

void programfiles(const char* create) {
  WCHAR buffer[MAX_PATH] = {u'#', u'\0'};
  SetLastError(0);
  const BOOL result = SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_PROGRAM_FILES, std::atoi(create));
  std::printf("returned=%d error=%u text=%s\n", result, GetLastError(), Utf8(buffer).c_str());
}

std::u16string wide(const char* text) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  std::u16string units(static_cast<std::size_t>(size), u'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, units.data(), size);
  units.pop_back();  // the NUL
  return units;
}

void fullpath(const char* name) {
  WCHAR buffer[MAX_PATH] = {u'#', u'\0'};
  LPWSTR file_part = nullptr;
  const DWORD result = GetFullPathNameW(wide(name).c_str(), MAX_PATH, buffer, &file_part);
  std::printf("returned=%u text=%s part=%s\n", result, Utf8(buffer).c_str(),
              file_part == nullptr ? "(null)" : Utf8(file_part).c_str());
}

void exists(const char* name) {
  SetLastError(0);
  const BOOL result = PathFileExistsW(wide(name).c_str());
  std::printf("returned=%d error=%u\n", result, GetLastError());
}

void create(const char* name) {
  const HANDLE file = CreateFileW(wide(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  std::printf("opened=%d error=%u\n", file != INVALID_HANDLE_VALUE, GetLastError());
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

void temppath() {
  WCHAR buffer[MAX_PATH] = {u'#', u'\0'};
  const DWORD result = GetTempPathW(MAX_PATH, buffer);
  std::printf("returned=%u text=%s\n", result, Utf8(buffer).c_str());
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "iswow64process" && argc == 2) {
    iswow64process();
  } else if (command == "windows" && argc == 3) {
    windows(argv[2]);
  } else if (command == "programfiles" && argc == 3) {
    programfiles(argv[2]);
  } else if (command == "fullpath" && argc == 3) {
    fullpath(argv[2]);
  } else if (command == "exists" && argc == 3) {
    exists(argv[2]);
  } else if (command == "create" && argc == 3) {
    create(argv[2]);
  } else if (command == "temppath" && argc == 2) {
    temppath();
  } else {
    std::fprintf(stderr, "usage: layer_probe iswow64process | windows <size> | programfiles <0|1> | "
                         "fullpath <name> | exists <name> | create <name> | temppath\n");
    return 2;
  }
  return 0;
}

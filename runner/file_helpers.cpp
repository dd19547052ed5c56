// The runner's file helpers and version line.
#include <iostream>

#include "installer.h"
#include "program_version.h"
#include "system_string.h"

bool noDelete = false;

WString ProgramFolder() {
  WCHAR path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  WString folder = path;
  const auto slash = folder.find_last_of(TEXT('\\'));
  if (slash != WString::npos) folder.erase(slash);
  return folder;
}

void GetDescriptionFilePath(WString& path) {
  path = ProgramFolder() + TEXT("\\") + kDescriptionFileName;
}

bool FileExists(const WString& path) {
  SystemString copy(path);
  return PathFileExistsW(copy.get()) != FALSE;
}

bool DeleteFileAt(const WString& path) {
  SystemString copy(path);
  return DeleteFileW(copy.get()) != FALSE;
}

void PrintVersion() {
  std::cout << "Version: " << kVersionMajor << "." << kVersionMinor << "." << kVersionPatch << "." << kVersionBuild
            << "\n";
  std::cout.flush();
}

// The program that the shell tests associate with a file type: writes the
// command line it was started with to the file that SHELL_OPENED_RECORD names,
// first under a temporary name, so that the record appears whole.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "win32.h"
#include "text.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  const char* record = std::getenv("SHELL_OPENED_RECORD");
  if (record == nullptr) return 2;
  const std::string partial = std::string(record) + ".partial";
  std::ofstream(partial, std::ios::binary) << winlayer::utf16_to_utf8(GetCommandLineW());
  return std::rename(partial.c_str(), record) == 0 ? 0 : 1;
}

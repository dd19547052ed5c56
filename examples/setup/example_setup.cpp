// The example package's setup program: shows what the runner handed it (its
// command line, its arguments, and the files those name) and ends with 0.
#include <cstdio>
#include <string>

#include "win32.h"

namespace {

std::string Narrow(const WString& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
  }
  return out;
}

// Prints the file that a "--name=path" argument names.
void ShowFileOf(const WString& argument) {
  const auto eq = argument.find(TEXT('='));
  if (eq == WString::npos || argument.find(TEXT("File=")) == WString::npos) return;
  const WString path = argument.substr(eq + 1);
  std::FILE* file = _wfopen(path.c_str(), TEXT("rb"));
  std::printf("  --- %s ---\n", Narrow(path).c_str());
  if (file == nullptr) {
    std::printf("  (cannot be opened)\n");
    return;
  }
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) std::fwrite(buffer, 1, n, stdout);
  std::fclose(file);
  std::printf("\n");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  std::printf("Example setup program started with the command line:\n  %s\n", Narrow(GetCommandLineW()).c_str());
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 0; args != nullptr && i < count; ++i) std::printf("  argument %d: %s\n", i, Narrow(args[i]).c_str());
  for (int i = 1; args != nullptr && i < count; ++i) ShowFileOf(args[i]);
  LocalFree(args);
  std::printf("Example setup program ends with exit code 0.\n");
  std::fflush(stdout);
  return 0;
}

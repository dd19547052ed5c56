// The setup program of the differential runs, built both on the layer and for
// Windows from this one source. It records what the runner handed it into the
// file that DIFF_SETUP_RECORD names (a Windows path), while the files it was
// handed still exist, and ends with the code DIFF_SETUP_END gives (0 without it).
//
// Record lines, UTF-8: "command line=" (GetCommandLineW), "module="
// (GetModuleFileNameW), one "argv=" line per argument as CommandLineToArgvW
// splits the command line, and for each "--<name>File=path" argument the bytes
// of the file it names in hexadecimal, "file <name>File=<hex>", or "=missing".
#include <cstdio>
#include <cstdlib>
#include <string>

#include "win32.h"

namespace {

std::string Utf8(const WString& text) {
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) {
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
  }
  return out;
}

WString Wide(const char* text) {
  const int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  WString out(static_cast<std::size_t>(size > 0 ? size : 1), TEXT('\0'));
  if (size > 0) MultiByteToWideChar(CP_UTF8, 0, text, -1, &out[0], size);
  out.pop_back();
  return out;
}

// The bytes of a file in hexadecimal, or "missing".
std::string HexOfFile(const WString& path) {
  std::FILE* file = _wfopen(path.c_str(), TEXT("rb"));
  if (file == nullptr) return "missing";
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (int c; (c = std::fgetc(file)) != EOF;) {
    hex += kDigits[(c >> 4) & 0xF];
    hex += kDigits[c & 0xF];
  }
  std::fclose(file);
  return hex;
}

std::string Record() {
  std::string record = "command line=" + Utf8(GetCommandLineW()) + "\n";
  WCHAR module[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  record += "module=" + Utf8(module) + "\n";
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  for (int i = 0; args != nullptr && i < count; ++i) record += "argv=" + Utf8(args[i]) + "\n";
  for (int i = 1; args != nullptr && i < count; ++i) {
    const WString argument = args[i];
    const auto equals = argument.find(TEXT('='));
    if (argument.rfind(TEXT("--"), 0) != 0 || equals == WString::npos) continue;
    const WString name = argument.substr(2, equals - 2);
    if (name.size() < 4 || name.compare(name.size() - 4, 4, TEXT("File")) != 0) continue;
    record += "file " + Utf8(name) + "=" + HexOfFile(argument.substr(equals + 1)) + "\n";
  }
  LocalFree(args);
  return record;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  if (const char* path = std::getenv("DIFF_SETUP_RECORD")) {
    if (std::FILE* file = _wfopen(Wide(path).c_str(), TEXT("wb"))) {
      const std::string record = Record();
      std::fwrite(record.data(), 1, record.size(), file);
      std::fclose(file);
    }
  }
  const char* end = std::getenv("DIFF_SETUP_END");
  return end != nullptr ? static_cast<int>(std::strtoll(end, nullptr, 0)) : 0;
}

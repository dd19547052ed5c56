#include "host.h"

#include <cstdio>
#include <sstream>

namespace wyl {

std::string to_utf8(const WCHAR* text, int length) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return std::string();
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, length, &out[0], bytes, nullptr, nullptr);
  if (length < 0) out.pop_back();  // the NUL
  return out;
}

std::string to_utf8(const WString& text) {
  return text.empty() ? std::string() : to_utf8(text.c_str(), static_cast<int>(text.size()));
}

WString to_wide(const std::string& text) {
  if (text.empty()) return WString();
  const int length = static_cast<int>(text.size());
  const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  if (units <= 0) return WString();
  WString out(static_cast<std::size_t>(units), WCHAR());
  MultiByteToWideChar(CP_UTF8, 0, text.data(), length, &out[0], units);
  return out;
}

WString environment_variable(const WCHAR* name) {
  const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return WString();
  WString value(size, WCHAR());
  const DWORD length = GetEnvironmentVariableW(name, &value[0], size);
  value.resize(length < size ? length : 0);
  return value;
}

bool read_file(const WString& path, std::string& bytes) {
  FILE* file = _wfopen(path.c_str(), TEXT("rb"));
  if (file == nullptr) return false;
  bytes.clear();
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  const bool complete = std::ferror(file) == 0;
  std::fclose(file);
  return complete;
}

void record(const std::string& line) {
  const WString path = environment_variable(TEXT("WYL_TRANSCRIPT"));
  if (path.empty()) return;
  // Opened for each line, so that both libraries append to one file in order
  // and a reader sees every line at once.
  FILE* file = _wfopen(path.c_str(), TEXT("ab"));
  if (file == nullptr) return;
  const std::string text = line + "\n";
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

bool transcript_holds(const std::string& line) {
  std::string bytes;
  if (!read_file(environment_variable(TEXT("WYL_TRANSCRIPT")), bytes)) return false;
  std::istringstream in(bytes);
  std::string each;
  while (std::getline(in, each)) {
    if (each == line) return true;
  }
  return false;
}

bool call_fails(const char* call) {
  if (to_utf8(environment_variable(TEXT("WYL_FAIL"))) != call) return false;
  record(std::string("fail ") + call);
  return true;
}

}  // namespace wyl

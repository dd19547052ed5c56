// A child program of the test suite built on the layer. It records what it was
// given into the file that TEST_CHILD_RECORD names (written whole, then renamed
// into place), writes one line to standard output and one to standard error, and
// ends as TEST_CHILD_END says: a number (any 32-bit exit code), "segv", "bus",
// "ill", "fpe", "abort", or "wait" (waits to be killed, at most 60 seconds).
//
// Record lines: "pid=", "module=" (GetModuleFileNameW), "command line="
// (GetCommandLineW), "cwd=", then one "argv=" line per argument of its main.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "win32.h"

namespace {

std::string utf8(const WCHAR* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
  out.pop_back();
  return out;
}

// The argument vector the system gave main, as /proc keeps it.
std::string argv_lines() {
  std::ifstream in("/proc/self/cmdline", std::ios::binary);
  const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string lines;
  for (std::size_t start = 0; start < raw.size();) {
    const auto end = raw.find('\0', start);
    lines += "argv=" + raw.substr(start, end - start) + "\n";
    start = end == std::string::npos ? raw.size() : end + 1;
  }
  return lines;
}

void write_record(const char* path) {
  WCHAR module[MAX_PATH];
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  char cwd[4096] = {};
  if (::getcwd(cwd, sizeof cwd) == nullptr) cwd[0] = '\0';
  const std::string record = "pid=" + std::to_string(::getpid()) + "\nmodule=" + utf8(module) +
                             "\ncommand line=" + utf8(GetCommandLineW()) + "\ncwd=" + cwd + "\n" + argv_lines();
  const std::string partial = std::string(path) + ".partial";
  std::ofstream(partial, std::ios::binary) << record;
  std::rename(partial.c_str(), path);
}

// Ends by the signal with its default action, past any handler a sanitizer set.
[[noreturn]] void die_by(int signal_number) {
  ::signal(signal_number, SIG_DFL);
  ::raise(signal_number);
  std::abort();
}

int end_as(const std::string& how) {
  const struct { const char* name; int signal_number; } kSignals[] = {
      {"segv", SIGSEGV}, {"bus", SIGBUS}, {"ill", SIGILL}, {"fpe", SIGFPE}, {"abort", SIGABRT}};
  for (const auto& entry : kSignals) {
    if (how == entry.name) die_by(entry.signal_number);
  }
  if (how == "wait") {
    ::sleep(60);
    return 0;
  }
  return static_cast<int>(std::strtoll(how.c_str(), nullptr, 0));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  if (const char* record = std::getenv("TEST_CHILD_RECORD")) write_record(record);
  std::fputs("child out\n", stdout);
  std::fflush(stdout);
  std::fputs("child err\n", stderr);
  const char* how = std::getenv("TEST_CHILD_END");
  return end_as(how != nullptr ? how : "0");
}

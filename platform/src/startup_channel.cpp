// Reading the parent's channel.
#include "startup_channel.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "text.h"

namespace winlayer {
namespace {

// The part after "<pid>:" when the pid is this process's.
const char* value_for_this_process(const char* variable) {
  const char* entry = std::getenv(variable);
  if (entry == nullptr || std::strlen(entry) <= kPidDigits || entry[kPidDigits] != ':') return nullptr;
  const long pid = std::strtol(std::string(entry, kPidDigits).c_str(), nullptr, 10);
  return pid == static_cast<long>(::getpid()) ? entry + kPidDigits + 1 : nullptr;
}

}  // namespace

bool take_passed_command_line(std::u16string& line) {
  const char* value = value_for_this_process(kCommandLineVariable);
  if (value == nullptr) return false;
  line = utf8_to_utf16(value);
  return true;
}

void report_exit_code(DWORD code) {
  const char* value = value_for_this_process(kExitCodeVariable);
  if (value == nullptr) return;
  const int fd = std::atoi(value);
  unsigned char bytes[4];
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(code >> (8 * i));
  if (::write(fd, bytes, sizeof bytes) == sizeof bytes) ::close(fd);
}

}  // namespace winlayer

// The channel between a parent and a child on the layer.
#include "startup_channel.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "posix_io.h"
#include "text.h"
#include "winlayer/kernel_process.h"

namespace winlayer {
namespace {

// The part after "<pid>:" when the pid is this process's.
const char* value_for_this_process(const char* variable) {
  const char* entry = std::getenv(variable);
  if (entry == nullptr || std::strlen(entry) <= kPidDigits || entry[kPidDigits] != ':') return nullptr;
  const long pid = std::strtol(std::string(entry, kPidDigits).c_str(), nullptr, 10);
  return pid == static_cast<long>(::getpid()) ? entry + kPidDigits + 1 : nullptr;
}

int own_exit_descriptor() {
  const char* value = value_for_this_process(kExitCodeVariable);
  return value == nullptr ? -1 : std::atoi(value);
}

std::string entry_with_blank_pid(const char* variable, std::string_view value) {
  return std::string(variable) + "=" + std::string(kPidDigits, '0') + ":" + std::string(value);
}

// Writes the pid's digits over the zeros after "name="; no allocation.
void stamp_pid(std::string& entry, pid_t pid) {
  char* digits = &entry[entry.find('=') + 1];
  for (int i = kPidDigits - 1; i >= 0; --i) {
    digits[i] = static_cast<char>('0' + pid % 10);
    pid /= 10;
  }
}

}  // namespace

bool take_passed_command_line(std::u16string& line) {
  const char* value = value_for_this_process(kCommandLineVariable);
  if (value == nullptr) return false;
  line = utf8_to_utf16(value);
  return true;
}

void report_exit_code(DWORD code) {
  const UniqueFd fd(own_exit_descriptor());
  if (!fd.valid()) return;
  unsigned char bytes[4];
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(code >> (8 * i));
  write_all(fd.get(), std::string_view(reinterpret_cast<const char*>(bytes), sizeof bytes));
}

void protect_exit_channel() {
  static const bool protected_once = [] {
    const int fd = own_exit_descriptor();
    if (fd >= 0) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    return true;
  }();
  (void)protected_once;
}

bool ChildChannel::open(std::u16string_view command_line) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return false;
  read_end_ = UniqueFd(fds[0]);
  write_end_ = UniqueFd(fds[1]);
  if (::fcntl(read_end_.get(), F_SETFL, O_NONBLOCK) != 0) return false;
  command_line_entry_ = entry_with_blank_pid(kCommandLineVariable, utf16_to_utf8(command_line));
  exit_code_entry_ = entry_with_blank_pid(kExitCodeVariable, std::to_string(write_end_.get()));
  return true;
}

void ChildChannel::prepare_in_child(pid_t pid) {
  stamp_pid(command_line_entry_, pid);
  stamp_pid(exit_code_entry_, pid);
  ::fcntl(write_end_.get(), F_SETFD, 0);
}

bool read_reported_exit_code(int read_end, DWORD& code) {
  unsigned char bytes[4];
  if (read_some(read_end, bytes, sizeof bytes) != sizeof bytes) return false;
  code = 0;
  for (int i = 0; i < 4; ++i) code |= static_cast<DWORD>(bytes[i]) << (8 * i);
  return true;
}

DWORD exit_code_for_signal(int signal_number) {
  switch (signal_number) {
    case SIGSEGV:
    case SIGBUS: return STATUS_ACCESS_VIOLATION;
    case SIGILL: return STATUS_ILLEGAL_INSTRUCTION;
    case SIGFPE: return STATUS_INTEGER_DIVIDE_BY_ZERO;
    case SIGABRT: return 3;  // the C run-time's abort
    case SIGINT: return STATUS_CONTROL_C_EXIT;
    default: return 1;  // as TerminateProcess is usually called
  }
}

DWORD exit_code_from_status(int wait_status, bool reported, DWORD reported_code) {
  if (WIFSIGNALED(wait_status)) return exit_code_for_signal(WTERMSIG(wait_status));
  const DWORD status = static_cast<DWORD>(WEXITSTATUS(wait_status));
  return reported && (reported_code & 0xFFu) == status ? reported_code : status;
}

}  // namespace winlayer

// What a parent on the layer hands a child on the layer besides argv: the exact
// command line and a descriptor for the whole 32-bit exit code. Each environment
// entry starts with the pid of the process it is meant for, so that an entry
// that a foreign program passes on to its own children is ignored there.
// Both sides live here: the child's (reading its command line, reporting its
// code) and the parent's (preparing the entries, reading the code back).
#ifndef WINLAYER_STARTUP_CHANNEL_H
#define WINLAYER_STARTUP_CHANNEL_H

#include <sys/types.h>

#include <string>
#include <string_view>

#include "winlayer/unique_fd.h"
#include "winlayer/types.h"

namespace winlayer {

constexpr const char kCommandLineVariable[] = "WINLAYER_COMMAND_LINE";  // "<pid>:<UTF-8 command line>"
constexpr const char kExitCodeVariable[] = "WINLAYER_EXIT_FD";          // "<pid>:<descriptor>"
constexpr int kPidDigits = 10;  // the pid field's width, zero-padded

// Child side.

// The command line that the parent passed, when it was meant for this process.
bool take_passed_command_line(std::u16string& line);

// Hands the whole exit code to a parent on the layer, when one listens.
void report_exit_code(DWORD code);

// Keeps this process's own exit descriptor out of the children it starts, so
// that only the process the parent started holds it. Idempotent.
void protect_exit_channel();

// Parent side.

// The entries and descriptors for one child. The pid fields hold zeros until
// stamp_child_pid fills them in.
class ChildChannel {
 public:
  // Opens the exit-code pipe; false with errno set when it cannot.
  bool open(std::u16string_view command_line);

  // The "name=value" entries for the child's environment.
  std::string& command_line_entry() { return command_line_entry_; }
  std::string& exit_code_entry() { return exit_code_entry_; }

  // In the forked child, before exec; async-signal-safe: writes the pid into
  // both entries and lets the write end of the pipe survive exec.
  void prepare_in_child(pid_t pid);

  // In the parent after the fork: closes its copy of the child's end.
  void close_child_end() { write_end_.reset(); }

  // The read end, which tells the code the child reported.
  UniqueFd take_read_end() { return std::move(read_end_); }

 private:
  std::string command_line_entry_;
  std::string exit_code_entry_;
  UniqueFd read_end_;
  UniqueFd write_end_;
};

// The code a child reported through the read end, if it reported a whole one.
bool read_reported_exit_code(int read_end, DWORD& code);

// The exit code Windows would give for a wait status: a signal's status code
// (see GetExitCodeProcess), else the reported whole code when the child
// reported one whose low 8 bits are its exit status, else that exit status.
DWORD exit_code_from_status(int wait_status, bool reported, DWORD reported_code);

// The status code for the end by a signal.
DWORD exit_code_for_signal(int signal_number);

}  // namespace winlayer

#endif

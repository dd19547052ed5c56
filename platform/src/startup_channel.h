// What a parent on the layer hands a child on the layer besides argv: the exact
// command line and a descriptor for the whole 32-bit exit code. Each environment
// entry starts with the pid of the process it is meant for, so that an entry
// that a foreign program passes on to its own children is ignored there.
#ifndef WINLAYER_STARTUP_CHANNEL_H
#define WINLAYER_STARTUP_CHANNEL_H

#include <string>

#include "winlayer/types.h"

namespace winlayer {

constexpr const char kCommandLineVariable[] = "WINLAYER_COMMAND_LINE";  // "<pid>:<UTF-8 command line>"
constexpr const char kExitCodeVariable[] = "WINLAYER_EXIT_FD";          // "<pid>:<descriptor>"
constexpr int kPidDigits = 10;  // the pid field's width, zero-padded

// The command line that the parent passed, when it was meant for this process.
bool take_passed_command_line(std::u16string& line);

// Hands the whole exit code to a parent on the layer, when one listens.
void report_exit_code(DWORD code);

}  // namespace winlayer

#endif

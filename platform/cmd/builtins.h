// The command interpreter's built-in commands: rd (rmdir) and del (erase).
#ifndef WINLAYER_CMD_BUILTINS_H
#define WINLAYER_CMD_BUILTINS_H

#include <string_view>

namespace winlayer::cmd {

// Carries out one command and gives its exit code: 0 on success; for rd the
// Windows error code of a failure (2 for a missing folder), with its system
// message on standard error; for del 0 also for a missing file, after "Could
// Not Find" and the full path; 1 for a bad switch or a missing argument; 9009
// for a command that is not built in. An empty command gives 0.
int run_command(std::u16string_view command);

}  // namespace winlayer::cmd

#endif

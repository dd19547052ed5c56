// The command interpreter of the layer: "cmd /C <command>" for its built-in
// commands rd and del, with Windows' messages and exit codes. Other forms (an
// interactive session, /K, command chains) are not provided.
#include "builtins.h"
#include "cmd_rules.h"
#include "text.h"
#include "win32.h"

#include <cstdio>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  std::u16string command;
  if (!winlayer::cmd::command_after_switches(GetCommandLineW(), command)) {
    std::fputs("The syntax of the command is incorrect.\n", stderr);
    return 1;
  }
  return winlayer::cmd::run_command(command);
}

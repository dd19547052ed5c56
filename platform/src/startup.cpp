// The run-time start-up of a windowless program: after the static initialisers,
// the entry body runs with the text after the program name, and its result ends
// the process through ExitProcess.
#include <string>

#include "cmdline.h"
#include "winlayer/kernel.h"

namespace {

// The command line after the program name and the blanks that follow it, as the
// C run-time hands it to wWinMain.
LPWSTR arguments_after_program_name(LPWSTR line) {
  bool quoted = false;
  while (*line != u'\0' && (quoted || (*line != u' ' && *line != u'\t'))) {
    if (*line == u'"') quoted = !quoted;
    ++line;
  }
  while (*line == u' ' || *line == u'\t') ++line;
  return line;
}

}  // namespace

int main() {
  const int result = wWinMain(GetModuleHandleW(nullptr), nullptr, arguments_after_program_name(GetCommandLineW()),
                              SW_SHOWDEFAULT);
  ExitProcess(static_cast<UINT>(result));
}

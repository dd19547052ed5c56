// The run-time start-up of a program on the layer: standard output and standard
// error in text mode, then, after the static initialisers, the entry body with
// the text after the program name; its result ends the process through
// ExitProcess.
#include <string>

#include "cmdline.h"
#include "crt_text_mode.h"
#include "winlayer/kernel.h"

namespace {

// The command line after the program name and the blanks that follow it, as the
// C run-time hands it to wWinMain.
LPWSTR arguments_after_program_name(LPWSTR line) {
  std::u16string name;
  std::size_t i = winlayer::read_program_name(line, winlayer::Splitter::kRunTime, name);
  while (line[i] == u' ' || line[i] == u'\t') ++i;
  return line + i;
}

}  // namespace

int main() {
  winlayer::make_standard_streams_text_mode();
  const int result = wWinMain(GetModuleHandleW(nullptr), nullptr, arguments_after_program_name(GetCommandLineW()),
                              SW_SHOWDEFAULT);
  ExitProcess(static_cast<UINT>(result));
}

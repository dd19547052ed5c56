// The end of a process.
#include <cstdio>
#include <cstdlib>

#include "startup_channel.h"
#include "winlayer/kernel.h"

void WINAPI ExitProcess(UINT uExitCode) {
  winlayer::report_exit_code(uExitCode);
  std::exit(static_cast<int>(uExitCode));
}

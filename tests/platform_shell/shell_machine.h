// The machine of the shell tests' own process.
#ifndef OMBRIX_TESTS_PLATFORM_SHELL_SHELL_MACHINE_H
#define OMBRIX_TESTS_PLATFORM_SHELL_SHELL_MACHINE_H

#include "process_machine.h"

namespace shell_test {

// Its profile: UI language 0x0809, system language 0x0407, the application
// data folder <root>/appdata/Roaming, .txt files opened with the suite's opened
// program and .md files with a program that does not exist, the share
// \\fileserver\data (the folder <root>/share, open without connecting) and the
// trace <root>/trace.log.
extern const ombrix_test::ProcessMachine machine;

}  // namespace shell_test

#endif

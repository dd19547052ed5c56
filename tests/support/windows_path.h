// The Windows form of a Linux path, on drive Z: (the Linux root), as tests give
// paths to the layer and to the programs.
#ifndef OMBRIX_TESTS_WINDOWS_PATH_H
#define OMBRIX_TESTS_WINDOWS_PATH_H

#include <string>

#include "win32.h"

namespace ombrix_test {

// "Z:" and the absolute path with backslashes, in UTF-8 (the layer's ANSI code
// page): for command lines, program arguments and the ANSI functions.
std::string WindowsPathUtf8(const std::string& linux_path);
// The same in UTF-16, for the wide functions.
WString WindowsPath(const std::string& linux_path);

}  // namespace ombrix_test

#endif

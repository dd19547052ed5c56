// The running program's own file, which GetModuleFileNameW names and the program
// search looks beside.
#ifndef WINLAYER_PROGRAM_FILE_H
#define WINLAYER_PROGRAM_FILE_H

#include <string>

namespace winlayer {

// The Linux path of the running program file; empty when it cannot be read.
std::string program_file_linux_path();

}  // namespace winlayer

#endif

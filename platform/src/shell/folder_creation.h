// Creating a folder with the folders above it, shared by the shell's folder
// functions.
#ifndef WINLAYER_FOLDER_CREATION_H
#define WINLAYER_FOLDER_CREATION_H

#include <string>

#include "winlayer/types.h"

namespace winlayer {

// Creates the Linux folder and each missing folder above it, top down, as the
// shell does. ERROR_SUCCESS when it was created; ERROR_ALREADY_EXISTS when the
// folder exists; ERROR_FILE_EXISTS when a file has its name; ERROR_PATH_NOT_FOUND
// when a file stands where a folder above it should be; else the error of the
// creation that failed.
DWORD create_folder_with_parents(const std::string& linux_path);

}  // namespace winlayer

#endif

// Kernel file functions: deleting, opening, reading and sizing files.
#ifndef WINLAYER_KERNEL_FILE_H
#define WINLAYER_KERNEL_FILE_H

#include "winlayer/types.h"

// Deletes a file. Missing file: FALSE and ERROR_FILE_NOT_FOUND; missing folder on
// the way: ERROR_PATH_NOT_FOUND; a folder or a file that cannot be removed:
// ERROR_ACCESS_DENIED; an empty path: ERROR_PATH_NOT_FOUND.
BOOL WINAPI DeleteFileW(LPCWSTR lpFileName);

#endif

// The one place where POSIX errors become Windows error codes.
#ifndef WINLAYER_ERRORS_H
#define WINLAYER_ERRORS_H

#include <string>

#include "winlayer/types.h"

namespace winlayer {

// The Windows error code for an errno value. ENOENT is ERROR_FILE_NOT_FOUND when
// the folder that should hold the file exists, else ERROR_PATH_NOT_FOUND;
// a file named with a trailing separator is ERROR_INVALID_NAME.
DWORD error_from_errno(int err, const std::string& linux_path);

// The C run-time's errno for a Windows error code, as its file functions set it.
int errno_from_error(DWORD error);

// SetLastError(error_from_errno(errno, linux_path)).
void set_error_from_errno(const std::string& linux_path);

}  // namespace winlayer

#endif

// Opening files as CreateFileW opens them, for the kernel's file functions and
// the C run-time's alike: the disposition, read-only files, Windows' share modes
// between the handles of every process on the layer, and opens that never block
// on a special file.
#ifndef WINLAYER_FILE_OPEN_H
#define WINLAYER_FILE_OPEN_H

#include <string>

#include "winlayer/unique_fd.h"
#include "winlayer/types.h"

namespace winlayer {

struct OpenedFile {
  UniqueFd fd;
  bool existed = true;  // false when the open created the file
};

// Opens with the access (GENERIC_READ, GENERIC_WRITE, DELETE), share mode and
// disposition of CreateFileW, which checks the disposition's validity first.
// Failure: false with the last error set and no descriptor: ERROR_FILE_EXISTS, ERROR_FILE_NOT_FOUND,
// ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED (a folder, a FIFO or socket, a
// read-only file opened for writing, no permission), ERROR_SHARING_VIOLATION.
bool open_file(const std::string& linux_path, DWORD access, DWORD share, DWORD disposition, OpenedFile& out);

// A file without write permission for its owner, as Windows' read-only attribute.
bool is_read_only(const std::string& linux_path);

// True when a handle that does not share delete holds the file open.
bool delete_denied_by_a_handle(const std::string& linux_path);

}  // namespace winlayer

#endif

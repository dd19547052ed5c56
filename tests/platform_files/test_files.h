// File helpers for tests of the layer's file functions and their users: a fresh
// folder per test (temp_folder.h), Windows paths to it (windows_path.h), and a
// file held open by another process.
#ifndef OMBRIX_TESTS_PLATFORM_FILES_TEST_FILES_H
#define OMBRIX_TESTS_PLATFORM_FILES_TEST_FILES_H

#include <sys/types.h>

#include <string>

#include "temp_folder.h"
#include "win32.h"
#include "windows_path.h"

namespace ombrix_test {

// Another process that opens a file with CreateFileW(access, share, OPEN_EXISTING)
// and keeps the handle until this object is destroyed. Every wait is bounded: the
// child's answer, its end, and the child itself, which lets go after a minute.
class FileHeldElsewhere {
 public:
  static constexpr DWORD kNoAnswer = 0xFFFFFFFFu;

  FileHeldElsewhere(const std::string& linux_path, DWORD access, DWORD share);
  ~FileHeldElsewhere();
  FileHeldElsewhere(const FileHeldElsewhere&) = delete;
  FileHeldElsewhere& operator=(const FileHeldElsewhere&) = delete;

  // ERROR_SUCCESS while the child holds the file, else its CreateFileW error, or
  // kNoAnswer when it gave none in time.
  DWORD open_error() const { return open_error_; }

 private:
  pid_t child_ = -1;
  int release_fd_ = -1;
  DWORD open_error_ = kNoAnswer;
};

}  // namespace ombrix_test

#endif

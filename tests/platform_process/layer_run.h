// Running a command line from a test binary as a parent on the layer: the
// child's standard streams captured, its wait bounded.
#ifndef OMBRIX_TESTS_LAYER_RUN_H
#define OMBRIX_TESTS_LAYER_RUN_H

#include <map>
#include <string>

#include "win32.h"

namespace layer_test {

// While it lives, this process's standard output and error go to a file (so
// that children that share them write there too) and its standard input comes
// from the given text.
class CapturedStreams {
 public:
  explicit CapturedStreams(const std::string& folder, const std::string& input = "");
  ~CapturedStreams();
  CapturedStreams(const CapturedStreams&) = delete;
  CapturedStreams& operator=(const CapturedStreams&) = delete;
  // What reached the file so far.
  std::string text() const;

 private:
  std::string file_;
  int saved_[3];
};

struct LayerRun {
  bool started = false;
  DWORD error = 0;      // CreateProcessW's error when it did not start
  bool ended = false;   // within the time; a child that did not is killed
  DWORD code = 0;
  std::string output;   // standard output and error, in the order written
};

// Starts the command line (shown, so that the child shares the captured
// streams) with this process's environment and the given entries added or
// replaced, waits at most timeout_ms, and gives what came of it.
LayerRun run_on_layer(const std::u16string& command_line, const std::string& scratch_folder,
                      const std::string& input = "", const std::map<std::string, std::string>& environment = {},
                      DWORD timeout_ms = 20000);

}  // namespace layer_test

#endif

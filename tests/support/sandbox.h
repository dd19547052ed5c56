// A fresh folder per end-to-end test: a temporary folder for TMP, a package
// folder for the programs, a machine profile, and bounded runs of the built
// programs with their output, exit status and log.
#ifndef OMBRIX_TESTS_SANDBOX_H
#define OMBRIX_TESTS_SANDBOX_H

#include <map>
#include <string>
#include <vector>

#include "temp_folder.h"

namespace ombrix_test {

struct RunResult {
  int exit_status = -1;  // the low 8 bits that POSIX keeps; -1 when killed or timed out
  int signal = 0;        // the signal that ended the program, if any
  bool timed_out = false;
  std::string out;
  std::string err;
};

class Sandbox {
 public:
  Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  const std::string& root() const { return folder_.path(); }
  std::string temp() const { return folder_.file("tmp"); }         // TMP of every run
  std::string package() const { return folder_.file("package"); }  // where programs are copied
  std::string profile_path() const { return folder_.file("machine.ini"); }
  std::string trace_path() const { return folder_.file("trace.log"); }
  std::string log_path() const { return temp() + "/ombrixxelq.log"; }

  // Writes the machine profile: [system] trace = trace_path(), then extra_ini.
  void write_profile(const std::string& extra_ini = "") const;
  // Copies a program of the build (build/bin/<name>) into folder under a name.
  std::string copy_program(const std::string& name, const std::string& folder,
                           const std::string& as_name = "") const;

  // Runs a program with TMP = temp() and WINLAYER_MACHINE = profile_path();
  // env entries are added or replace these; the run starts in working_folder
  // (this process's folder when empty). Killed after timeout_seconds.
  RunResult run(const std::string& program, const std::vector<std::string>& args,
                const std::map<std::string, std::string>& env = {}, int timeout_seconds = 60,
                const std::string& working_folder = "") const;

  // The log's lines without their "[ZoltApp] <time>\t" prefix, which each line
  // must carry in the exact form; empty lines stay empty. Line ends must be CR LF.
  std::vector<std::string> log_lines() const;

  // Later runs may write no file beyond this many bytes: a write past it fails
  // (EFBIG) as on a full disk. 0: no limit.
  void limit_file_size(long bytes) { file_size_limit_ = bytes; }

 private:
  TempFolder folder_{"ombrix-e2e"};
  long file_size_limit_ = 0;
};

// File helpers for tests.
void write_file(const std::string& path, const std::string& content);
std::string read_file(const std::string& path);
bool file_exists(const std::string& path);
void make_folder(const std::string& path);
// The built program's path (build/bin/<name>).
std::string built_program(const std::string& name);

}  // namespace ombrix_test

#endif

// A package for end-to-end runs of the runners: the runner and its description
// in the sandbox's package folder, the suite's test setup program (built on the
// layer; it records its command line and ends with the code it is told) where
// the test puts it, and what that program recorded.
#ifndef OMBRIX_TESTS_PACKAGE_FIXTURE_H
#define OMBRIX_TESTS_PACKAGE_FIXTURE_H

#include <string>
#include <vector>

#include "child_record.h"
#include "sandbox.h"
#include "windows_path.h"

namespace launcher_test {

struct Description {
  std::string installer_location;
  bool ignore_processes = false;
  bool delete_installation_image = false;
};

// What the test setup program recorded of its start, and whether it ran.
struct SetupRecord : layer_test::ChildRecord {
  bool ran = false;
};

class Package {
 public:
  // program: "ZoltInstaller" or "ZoltUnInstaller", copied into the package folder.
  explicit Package(const std::string& program = "ZoltInstaller");

  ombrix_test::Sandbox& box() { return box_; }
  const ombrix_test::Sandbox& box() const { return box_; }
  const std::string& runner() const { return runner_; }
  // The temporary folder as the runner sees it, with its trailing backslash.
  std::string windows_temp() const { return ombrix_test::WindowsPathUtf8(box_.temp()) + "\\"; }

  void describe(const Description& description) const;
  // Puts the test setup program into the folder as Setup.exe; its path.
  std::string place_setup(const std::string& folder) const;
  std::string record_path() const { return box_.root() + "/setup-record"; }
  SetupRecord record() const;

  // Runs the runner with the setup program told how to end.
  ombrix_test::RunResult run(const std::vector<std::string>& args, const std::string& setup_end = "0") const;
  // The log lines of the setup launcher, without their "SetupLauncher - " tag.
  std::vector<std::string> launcher_lines() const;

 private:
  ombrix_test::Sandbox box_;
  std::string program_;
  std::string runner_;
};

}  // namespace launcher_test

#endif

// The test process's own machine.
#include "process_machine.h"

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>

#include "sandbox.h"

namespace ombrix_test {
namespace {

std::string make_root(const std::string& name) {
  std::string pattern = (std::filesystem::temp_directory_path() / ("winlayer-" + name + "-XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

}  // namespace

ProcessMachine::ProcessMachine(const std::string& name,
                               const std::function<std::string(const std::string& root)>& profile)
    : root(make_root(name)) {
  write_file(root + "/machine.ini", profile(root));
  ::setenv("WINLAYER_MACHINE", (root + "/machine.ini").c_str(), 1);
}

ProcessMachine::~ProcessMachine() {
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
}

}  // namespace ombrix_test

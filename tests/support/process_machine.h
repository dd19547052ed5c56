// The machine of the test process itself, for tests that call the layer in
// process: a fresh folder whose profile is set as WINLAYER_MACHINE before the
// layer first reads it. Define one at namespace scope, so that it exists before
// any test runs.
#ifndef OMBRIX_TESTS_PROCESS_MACHINE_H
#define OMBRIX_TESTS_PROCESS_MACHINE_H

#include <functional>
#include <string>

#include "temp_folder.h"

namespace ombrix_test {

class ProcessMachine {
 public:
  // profile gives the profile's text for the folder; it may lay out folders there.
  ProcessMachine(const std::string& name, const std::function<std::string(const std::string& root)>& profile);

 private:
  const TempFolder folder_;

 public:
  const std::string root;
};

}  // namespace ombrix_test

#endif

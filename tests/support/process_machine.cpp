// The test process's own machine.
#include "process_machine.h"

#include <stdlib.h>

#include "sandbox.h"

namespace ombrix_test {

ProcessMachine::ProcessMachine(const std::string& name,
                               const std::function<std::string(const std::string& root)>& profile)
    : folder_("winlayer-" + name), root(folder_.path()) {
  write_file(root + "/machine.ini", profile(root));
  ::setenv("WINLAYER_MACHINE", (root + "/machine.ini").c_str(), 1);
}

}  // namespace ombrix_test

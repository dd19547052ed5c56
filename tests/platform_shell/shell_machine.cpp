// The shell tests' machine.
#include "shell_machine.h"

#include "windows_path.h"

namespace shell_test {

using ombrix_test::WindowsPathUtf8;

const ombrix_test::ProcessMachine machine("shell", [](const std::string& root) {
  return "[system]\ntrace = " + root + "/trace.log\n"
         "[locale]\nui_language = 0x0809\nsystem_language = 0x0407\n"
         "[folders]\nappdata = " + WindowsPathUtf8(root + "/appdata/Roaming") + "\n"
         "[associations]\n.txt = " + WindowsPathUtf8(SHELL_OPENED) + "\n"
         ".md = " + WindowsPathUtf8(root + "/no-such-program") + "\n"
         "[share:\\\\fileserver\\data]\npath = " + root + "/share\n";
});

}  // namespace shell_test

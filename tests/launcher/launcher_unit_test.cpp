// What the launcher does before it looks for a setup program, which a run of the
// built runner cannot show: the reader always writes the generated files it
// names. Built once per variant of the runner.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "process_machine.h"
#include "sandbox.h"
#include "setup_launcher.h"
#include "temp_folder.h"
#include "windows_path.h"

namespace {
using ombrix_test::WindowsPath;

// The process's temporary folder, where its one log lies; each case reads the
// lines it added.
const ombrix_test::ProcessMachine machine("launcher-unit", [](const std::string& root) {
  ombrix_test::make_folder(root + "/tmp");
  ::setenv("TMP", (root + "/tmp").c_str(), 1);
  return std::string();
});

class GeneratedFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    ombrix_test::write_file(folder_.file("deployment.xml"), "<Deployment/>");
    ombrix_test::write_file(folder_.file("application.xml.override"), "<Configuration/>");
    settings_.deploymentFile = WindowsPath(folder_.file("deployment.xml"));
    settings_.overrideFile = WindowsPath(folder_.file("application.xml.override"));
    settings_.installerLocation = WindowsPath(folder_.file("no installer here"));
  }

  // The launcher's result and the log lines it wrote (without time stamps).
  int launch(std::vector<std::string>& lines) {
    const std::string log = machine.root + "/tmp/ombrixxelq.log";
    const std::size_t before = ombrix_test::read_file(log).size();
    const int result = SetupLauncher(&settings_).Launch();
    std::istringstream added(ombrix_test::read_file(log).substr(before));
    for (std::string line; std::getline(added, line);) lines.push_back(line.substr(line.find('\t') + 1));
    return result;
  }

  const ombrix_test::TempFolder folder_{"launcher-unit"};
  InstallerSettings settings_;
};

const std::string kNoInstaller = "SetupLauncher - Installer does not exist in the specified path.\r";
const std::string kFromDescription = "SetupLauncher - Invoking installer from the path specified in the input xml file\r";

TEST_F(GeneratedFiles, AMissingDeploymentFileEndsTheLaunch) {
  std::remove(folder_.file("deployment.xml").c_str());
  std::vector<std::string> lines;
  EXPECT_EQ(launch(lines), -1);
  EXPECT_EQ(lines, (std::vector<std::string>{"SetupLauncher - Oeployment file does not exist. Exiting\r"}));
}

// The removal build has no override file: it neither tests nor misses one.
TEST_F(GeneratedFiles, AMissingOverrideFileEndsOnlyTheInstallLaunch) {
  std::remove(folder_.file("application.xml.override").c_str());
  settings_.overrideFile.clear();
  std::vector<std::string> lines;
  EXPECT_EQ(launch(lines), -1);
  const std::vector<std::string> install{"SetupLauncher - Override file does not exist. Exiting\r"};
  const std::vector<std::string> removal{kFromDescription, kNoInstaller};
  EXPECT_EQ(lines, kRemovalBuild ? removal : install);
}

TEST_F(GeneratedFiles, BothFilesPresentGoOnToTheSetupProgram) {
  std::vector<std::string> lines;
  EXPECT_EQ(launch(lines), -1);
  EXPECT_EQ(lines, (std::vector<std::string>{kFromDescription, kNoInstaller}));
}

}  // namespace

// What the launcher does before it looks for a setup program, which a run of the
// built runner cannot show: the reader always writes the generated files it
// names. Built once per variant of the runner.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "log_file.h"
#include "setup_launcher.h"

namespace {
namespace fs = std::filesystem;

// Taken before the tests point TMP at their own folders.
const fs::path kTempBase = fs::temp_directory_path();

class GeneratedFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (kTempBase / "launcher-unit-XXXXXX").string();
    root_ = ::mkdtemp(pattern.data());
    ::setenv("TMP", root_.c_str(), 1);
    logDestroyed = false;  // each case stands for a run of its own, with its own log
    std::ofstream(root_ + "/deployment.xml") << "<Deployment/>";
    std::ofstream(root_ + "/application.xml.override") << "<Configuration/>";
    settings_.deploymentFile = windows(root_ + "/deployment.xml");
    settings_.overrideFile = windows(root_ + "/application.xml.override");
    settings_.installerLocation = windows(root_ + "/no installer here");
  }
  void TearDown() override { fs::remove_all(root_); }

  static WString windows(const std::string& linux_path) {
    WString path = u"Z:";
    for (char c : linux_path) path += c == '/' ? u'\\' : static_cast<char16_t>(c);
    return path;
  }
  // The launcher's result and its log lines (without time stamps).
  int launch(std::vector<std::string>& lines) {
    const int result = SetupLauncher(&settings_).Launch();
    CloseLog();
    std::ifstream log(root_ + "/ombrixxelq.log");
    for (std::string line; std::getline(log, line);) lines.push_back(line.substr(line.find('\t') + 1));
    return result;
  }

  std::string root_;
  InstallerSettings settings_;
};

const std::string kNoInstaller = "SetupLauncher - Installer does not exist in the specified path.\r";
const std::string kFromDescription = "SetupLauncher - Invoking installer from the path specified in the input xml file\r";

TEST_F(GeneratedFiles, AMissingDeploymentFileEndsTheLaunch) {
  fs::remove(root_ + "/deployment.xml");
  std::vector<std::string> lines;
  EXPECT_EQ(launch(lines), -1);
  EXPECT_EQ(lines, (std::vector<std::string>{"SetupLauncher - Oeployment file does not exist. Exiting\r"}));
}

// The removal build has no override file: it neither tests nor misses one.
TEST_F(GeneratedFiles, AMissingOverrideFileEndsOnlyTheInstallLaunch) {
  fs::remove(root_ + "/application.xml.override");
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

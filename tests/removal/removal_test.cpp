// The removal runner run as a user runs it: only the deployment file is written,
// handed over and deleted; the removal texts stand where the install texts would.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "package_fixture.h"
#include "run_checks.h"

namespace {

using launcher_test::Package;
using ombrix_test::WindowsPathUtf8;
using Lines = std::vector<std::string>;

const std::string kDeployment = "<Deployment mode=\"remove\"><Properties/></Deployment>";

std::string description(const std::string& tail) {
  return "<Description>\n  <InstallerLocation>kit</InstallerLocation>\n  <TargetOS>Windows</TargetOS>\n"
         "  <DeploymentInfo processorFamily=\"x64\">" + kDeployment + "</DeploymentInfo>\n" + tail +
         "</Description>\n";
}

const std::string kWithOverrides = description("  <Overrides><Configuration><a/></Configuration></Overrides>\n");
const std::string kWithoutOverrides = description("");

const Lines kSuccessfulRemoval{
    "main - START SESSION: OmbrixZoltUninstaller",
    "main - Looking for OmbrixZoltUninstaller.xml file",
    "main - Found OmbrixZoltUninstaller.xml file",
    "XML - Processing xml file",
    "XML - Correct target OS detected",
    "XML - 64 bit machine found",
    "XML - Created deployment.xml file",
    "XML - XML parsing successful",
    "Uninstall - Proceeding to uninstall application(s)",
    "SetupLauncher - Invoking installer from the path specified in the input xml file",
    "SetupLauncher - Invoking installer setup.exe",
    "Uninstall - Uninstallation successfull",
    "CleanUp - Deleted deployment file",
    "main - Exit Code: 0",
    "main - Terminating application ",
    "",
    "",
};

class Removal : public ::testing::Test {
 protected:
  Removal() : p_("ZoltUnInstaller") { p_.place_setup(p_.box().package() + "/kit"); }
  void describe(const std::string& text) const {
    ombrix_test::write_file(p_.box().package() + "/OmbrixZoltUninstaller.xml", text);
  }
  std::string temp_file(const std::string& name) const { return p_.box().temp() + "/" + name; }
  std::string expected_command_line() const {
    return "\"" + WindowsPathUtf8(p_.box().package()) + "\\kit\\Setup.exe\" --mode=Silent --deploymentFile=\"" +
           p_.windows_temp() + "\\deployment.xml\"";
  }
  Package p_;
};

TEST_F(Removal, WritesAndHandsOverTheDeploymentFileOnly) {
  for (const std::string* text : {&kWithOverrides, &kWithoutOverrides}) {
    describe(*text);
    const auto run = p_.run({"-nodelete"});
    EXPECT_TRUE(ombrix_test::ended_with(run, 0));
    EXPECT_EQ(p_.record().command_line, expected_command_line());
    EXPECT_NE(ombrix_test::read_file(temp_file("deployment.xml")).find("<Deployment mode=\"remove\">"),
              std::string::npos);
    EXPECT_FALSE(ombrix_test::file_exists(temp_file("application.xml.override")));
    for (const auto& line : p_.box().log_lines()) {
      EXPECT_EQ(line.find("verrides"), std::string::npos) << line;
      EXPECT_EQ(line.find("onfiguration"), std::string::npos) << line;
      EXPECT_EQ(line.find("CleanUp"), std::string::npos) << line;
    }
  }
}

TEST_F(Removal, ASuccessfulRunLogsTheRemovalTextsInOrder) {
  describe(kWithOverrides);
  const auto run = p_.run({});
  EXPECT_TRUE(ombrix_test::ended_with(run, 0));
  EXPECT_EQ(p_.box().log_lines(), kSuccessfulRemoval);
  EXPECT_FALSE(ombrix_test::file_exists(temp_file("deployment.xml")));
}

TEST_F(Removal, LeavesAnOverrideFileOfAnEarlierInstallAloneAndReplacesTheDeploymentFile) {
  describe(kWithoutOverrides);
  ombrix_test::write_file(temp_file("application.xml.override"), "left by an install run");
  ombrix_test::write_file(temp_file("deployment.xml"), "left by an install run");
  p_.run({"-nodelete"});
  EXPECT_EQ(ombrix_test::read_file(temp_file("application.xml.override")), "left by an install run");
  EXPECT_NE(ombrix_test::read_file(temp_file("deployment.xml")).find("mode=\"remove\""), std::string::npos);
  EXPECT_EQ(p_.record().command_line.find("application.xml.override"), std::string::npos);
  p_.run({});
  EXPECT_EQ(ombrix_test::read_file(temp_file("application.xml.override")), "left by an install run");
  EXPECT_FALSE(ombrix_test::file_exists(temp_file("deployment.xml")));
}

TEST_F(Removal, AFailedSetupProgramIsTheInstallFailureLineAndItsExitCode) {
  describe(kWithoutOverrides);
  const auto run = p_.run({}, "3");
  EXPECT_EQ(run.exit_status, 3);
  const Lines lines = p_.box().log_lines();
  const Lines tail{"Error - Installation failed", "CleanUp - Deleted deployment file", "main - Exit Code: 3",
                   "main - Terminating application ", "", ""};
  ASSERT_GE(lines.size(), tail.size());
  EXPECT_EQ(Lines(lines.end() - tail.size(), lines.end()), tail);
  EXPECT_FALSE(ombrix_test::file_exists(temp_file("deployment.xml")));
}

TEST_F(Removal, NeverReadsTheInstallDescription) {
  ombrix_test::write_file(p_.box().package() + "/OmbrixZoltInstaller.xml", kWithOverrides);
  const auto run = p_.run({});
  EXPECT_EQ(run.exit_status, 255);
  EXPECT_EQ(p_.box().log_lines(), (Lines{"main - START SESSION: OmbrixZoltUninstaller",
                                         "main - Looking for OmbrixZoltUninstaller.xml file",
                                         "Error - Unable to found OmbrixZoltUninstaller.xml file",
                                         "main - Exit Code: -1", "main - Terminating application ", "", ""}));
  EXPECT_FALSE(p_.record().ran);
}

TEST_F(Removal, AReadingThatFailsEarlyTriesOneDeletionOnly) {
  describe("<Description><TargetOS>Windows</TargetOS></Description>");
  const auto run = p_.run({});
  EXPECT_EQ(run.exit_status, 255);
  const Lines lines = p_.box().log_lines();
  const Lines tail{"Error - Error in getting installer location", "Error - XML parsing failed",
                   "Error - Unable to deleted deployment file", "main - Exit Code: -1",
                   "main - Terminating application ", "", ""};
  ASSERT_GE(lines.size(), tail.size());
  EXPECT_EQ(Lines(lines.end() - tail.size(), lines.end()), tail);
}

}  // namespace

// Exit codes between programs on the layer: the setup program's whole code
// becomes the runner's, logged and handed whole to a parent on the layer; a
// crash of the setup program reads as the status code Windows gives it.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "layer_run.h"
#include "package_fixture.h"

namespace {
using launcher_test::Package;
using Lines = std::vector<std::string>;

bool has_line(const Lines& lines, const std::string& wanted) {
  for (const auto& line : lines) {
    if (line == wanted) return true;
  }
  return false;
}

// The runner on a package whose setup program lies in kit/.
class ExitCodes : public ::testing::Test {
 protected:
  void SetUp() override {
    p_.describe({"kit"});
    p_.place_setup(p_.box().package() + "/kit");
  }
  // Runs the runner from this test binary, a parent on the layer.
  DWORD run_from_layer(const std::string& setup_end) {
    const auto run = layer_test::run_on_layer(u"\"" + ombrix_test::WindowsPath(p_.runner()) + u"\"", p_.box().root(), "",
                                              {{"TMP", p_.box().temp()},
                                               {"WINLAYER_MACHINE", p_.box().profile_path()},
                                               {"TEST_CHILD_RECORD", p_.record_path()},
                                               {"TEST_CHILD_END", setup_end}});
    EXPECT_TRUE(run.ended);
    return run.code;
  }
  // The runner's own lines for a result: its verdict and "Exit Code:".
  void expect_logged(int result) {
    const Lines lines = p_.box().log_lines();
    EXPECT_TRUE(has_line(lines, "main - Exit Code: " + std::to_string(result)));
    EXPECT_TRUE(has_line(lines, result == 0 ? "Install - Installation successfull" : "Error - Installation failed"));
    EXPECT_FALSE(result != 0 && has_line(lines, "Install - Installation successfull"));
  }
  Package p_;
};

struct CodeCase {
  const char* setup_end;
  int result;
};

class WholeExitCode : public ExitCodes, public ::testing::WithParamInterface<CodeCase> {};

TEST_P(WholeExitCode, IsLoggedAndReachesAParentOnTheLayer) {
  EXPECT_EQ(run_from_layer(GetParam().setup_end), static_cast<DWORD>(GetParam().result));
  expect_logged(GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(Codes, WholeExitCode,
                         ::testing::Values(CodeCase{"0", 0}, CodeCase{"3", 3}, CodeCase{"255", 255},
                                           CodeCase{"3010", 3010}, CodeCase{"1641", 1641}, CodeCase{"1618", 1618},
                                           CodeCase{"0x80070005", static_cast<int>(0x80070005u)},
                                           CodeCase{"-2", -2}),
                         [](const auto& info) { return "Code" + std::to_string(info.index); });

TEST_F(ExitCodes, AShellSeesOnlyTheLowEightBits) {
  EXPECT_EQ(p_.run({}, "3010").exit_status, 3010 & 0xFF);
  expect_logged(3010);
}

struct CrashCase {
  const char* setup_end;
  DWORD code;
};

class SetupCrash : public ExitCodes, public ::testing::WithParamInterface<CrashCase> {};

TEST_P(SetupCrash, IsAFailureWithTheMappedCode) {
  EXPECT_EQ(run_from_layer(GetParam().setup_end), GetParam().code);
  expect_logged(static_cast<int>(GetParam().code));
}

INSTANTIATE_TEST_SUITE_P(Crashes, SetupCrash,
                         ::testing::Values(CrashCase{"segv", 0xC0000005u}, CrashCase{"abort", 3}),
                         [](const auto& info) { return std::string(info.param.setup_end); });

TEST_F(ExitCodes, ASetupProgramKilledWhileTheRunnerWaitsIsAFailure) {
  auto run = std::async(std::launch::async, [this] { return p_.run({}, "wait"); });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!p_.record().ran && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_TRUE(p_.record().ran);
  ::kill(std::stoi(p_.record().pid), SIGKILL);
  EXPECT_EQ(run.get().exit_status, 1);
  expect_logged(1);
}

TEST_F(ExitCodes, ASetupProgramNotOnTheLayerGivesItsStatus) {
  ombrix_test::write_file(p_.box().package() + "/kit/Setup.exe", "#!/bin/sh\nexit 7\n");
  EXPECT_EQ(run_from_layer("0"), 7u);
  expect_logged(7);
}

TEST_F(ExitCodes, CleanUpCommandsHandTheirWholeCodes) {
  p_.describe({"kit", false, true});
  ombrix_test::write_file(p_.box().package() + "/kit/payloads", "a file where rd wants a folder");
  EXPECT_EQ(run_from_layer("0"), 0u);
  const Lines lines = p_.box().log_lines();
  EXPECT_TRUE(has_line(lines, "SetupLauncher - Delete process exit code :  267"));  // the directory name is invalid
  EXPECT_TRUE(has_line(lines, "SetupLauncher - Delete process exit code :  2"));
}

}  // namespace

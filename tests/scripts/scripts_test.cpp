// scripts/test-all.sh refuses to run without every stage it expects, and
// scripts/build.sh keeps the configure output in the build folder, showing it
// when configuring fails. Each case runs copies of the scripts in a scratch tree.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "case_name.h"
#include "run_checks.h"
#include "sandbox.h"

namespace {
namespace fs = std::filesystem;
using ::operator<<;

// A tree with a copy of scripts/<name>, as it lies in the repository.
class ScriptTree : public ::testing::Test {
 protected:
  std::string root() const { return box_.root() + "/tree"; }
  void copy_script(const std::string& name) const {
    ombrix_test::make_folder(root() + "/scripts");
    fs::copy_file(std::string(OMBRIX_SOURCE_DIR) + "/scripts/" + name, root() + "/scripts/" + name);
  }
  // A stage script that succeeds, executable or not.
  void write_stage(const std::string& name, bool executable) const {
    const std::string path = root() + "/scripts/" + name;
    ombrix_test::write_file(path, "#!/bin/sh\nexit 0\n");
    ::chmod(path.c_str(), executable ? 0755 : 0644);
  }
  ombrix_test::RunResult run(const std::string& script, const std::vector<std::string>& args = {}) const {
    std::vector<std::string> all{root() + "/scripts/" + script};
    all.insert(all.end(), args.begin(), args.end());
    return box_.run("/bin/bash", all, {}, 120, root());
  }
  ombrix_test::Sandbox box_;
};

struct StageCase {
  const char* label;
  bool m32_present;
  bool m32_executable;
  bool windows_present;
  bool windows_executable;
  const char* refused;  // the stage named in the refusal
};

class MissingStage : public ScriptTree, public ::testing::WithParamInterface<StageCase> {};

TEST_P(MissingStage, FailsTheRunBeforeAnythingIsBuilt) {
  const StageCase& c = GetParam();
  copy_script("test-all.sh");
  if (c.m32_present) write_stage("test-m32.sh", c.m32_executable);
  if (c.windows_present) write_stage("test-windows.sh", c.windows_executable);
  const ombrix_test::RunResult r = run("test-all.sh");
  EXPECT_EQ(r.exit_status, 1);
  EXPECT_EQ(r.err, "test-all: the stage " + std::string(c.refused) + " is missing or not executable\n");
  EXPECT_EQ(r.out, "");
  EXPECT_FALSE(ombrix_test::file_exists(root() + "/build"));
}

INSTANTIATE_TEST_SUITE_P(
    Stages, MissingStage,
    ::testing::Values(StageCase{"M32Missing", false, false, true, true, "scripts/test-m32.sh"},
                      StageCase{"WindowsMissing", true, true, false, false, "scripts/test-windows.sh"},
                      StageCase{"M32NotExecutable", true, false, true, true, "scripts/test-m32.sh"},
                      StageCase{"WindowsNotExecutable", true, true, true, false, "scripts/test-windows.sh"}),
    ombrix_test::case_name<StageCase>);

class Build : public ScriptTree {
 protected:
  void SetUp() override { copy_script("build.sh"); }
  std::string configure_log() const { return ombrix_test::read_file(root() + "/out/configure.log"); }
};

TEST_F(Build, AFailedConfigureShowsItsOutputAndKeepsItInTheFolder) {
  ombrix_test::write_file(root() + "/CMakeLists.txt",
                          "cmake_minimum_required(VERSION 3.20)\nproject(t NONE)\nmessage(FATAL_ERROR \"no such part\")\n");
  const ombrix_test::RunResult r = run("build.sh", {"out"});
  EXPECT_EQ(r.exit_status, 1);
  EXPECT_NE(configure_log().find("no such part"), std::string::npos);
  EXPECT_NE(r.err.find("no such part"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("out/configure.log"), std::string::npos) << r.err;
}

TEST_F(Build, ASuccessfulConfigureIsKeptInTheFolderAndNotShown) {
  ombrix_test::write_file(root() + "/CMakeLists.txt",
                          "cmake_minimum_required(VERSION 3.20)\nproject(t NONE)\nmessage(STATUS \"configured t\")\n");
  const ombrix_test::RunResult r = run("build.sh", {"out"});
  EXPECT_TRUE(ombrix_test::ended_with(r, 0));
  EXPECT_NE(configure_log().find("configured t"), std::string::npos);
  EXPECT_EQ(r.out.find("configured t"), std::string::npos) << r.out;
  EXPECT_EQ(r.err, "");
}

}  // namespace

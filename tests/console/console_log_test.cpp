// The console log: opened once for appending in the temporary folder, left as
// it was, and never reopened once destroyed.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "console_log.h"
#include "sandbox.h"
#include "test_files.h"

namespace {


// The open flags of each descriptor of this process that refers to the file.
std::vector<int> OpenFlagsOf(const std::string& path) {
  std::vector<int> flags;
  DIR* fds = ::opendir("/proc/self/fd");
  while (const dirent* entry = fds == nullptr ? nullptr : ::readdir(fds)) {
    char target[4096];
    const std::string link = std::string("/proc/self/fd/") + entry->d_name;
    const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
    if (n <= 0 || std::string(target, static_cast<std::size_t>(n)) != path) continue;
    std::ifstream info(std::string("/proc/self/fdinfo/") + entry->d_name);
    std::string key;
    std::string octal;
    while (info >> key >> octal && key != "flags:") {}
    flags.push_back(static_cast<int>(std::stol(octal, nullptr, 8)));
  }
  if (fds != nullptr) ::closedir(fds);
  return flags;
}

class ConsoleLog : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* tmp = std::getenv("TMP")) saved_tmp_ = tmp;
    ::setenv("TMP", folder_.path().c_str(), 1);
    consoleLog = nullptr;
    consoleLogClosed = false;
  }
  void TearDown() override {
    delete consoleLog;
    if (saved_tmp_.empty()) ::unsetenv("TMP");
    else ::setenv("TMP", saved_tmp_.c_str(), 1);
  }

  ombrix_test::TempFolder folder_;
  const std::string log_ = folder_.file("ombrixxelq.log");
  std::string saved_tmp_;
};

TEST_F(ConsoleLog, HoldsAnEarlierLogOpenForAppendingWithoutChangingIt) {
  const std::string earlier = "[ZoltApp] Mon Dec 07 21:23:14 2026\tmain - START SESSION:\r\n";
  ombrix_test::write_file(log_, earlier);
  GetConsoleLog();
  ASSERT_NE(consoleLog, nullptr);
  const std::vector<int> flags = OpenFlagsOf(log_);
  ASSERT_EQ(flags.size(), 1u);
  EXPECT_NE(flags[0] & O_ACCMODE, O_RDONLY);  // open for writing; read too, for the share locks
  EXPECT_NE(flags[0] & O_APPEND, 0);
  EXPECT_EQ(ombrix_test::read_file(log_), earlier);

  delete consoleLog;
  EXPECT_EQ(consoleLog, nullptr);
  EXPECT_TRUE(consoleLogClosed);
  EXPECT_TRUE(OpenFlagsOf(log_).empty());
  EXPECT_EQ(ombrix_test::read_file(log_), earlier);
}

TEST_F(ConsoleLog, CreatesAMissingLogEmpty) {
  GetConsoleLog();
  ASSERT_NE(consoleLog, nullptr);
  EXPECT_EQ(::access(log_.c_str(), F_OK), 0);
  EXPECT_EQ(ombrix_test::read_file(log_), "");
  EXPECT_EQ(OpenFlagsOf(log_).size(), 1u);
}

TEST_F(ConsoleLog, LaterCallsKeepTheOneLog) {
  GetConsoleLog();
  ConsoleLogFile* const first = consoleLog;
  GetConsoleLog();
  GetConsoleLog();
  EXPECT_EQ(consoleLog, first);
  EXPECT_EQ(OpenFlagsOf(log_).size(), 1u);
}

TEST_F(ConsoleLog, IsNeverReopenedAfterItWasDestroyed) {
  GetConsoleLog();
  delete consoleLog;
  ASSERT_EQ(::unlink(log_.c_str()), 0);
  GetConsoleLog();
  EXPECT_EQ(consoleLog, nullptr);
  EXPECT_TRUE(OpenFlagsOf(log_).empty());
  EXPECT_EQ(::access(log_.c_str(), F_OK), -1);
}

TEST_F(ConsoleLog, AMissingTemporaryFolderLeavesAnObjectWithoutAFile) {
  ::setenv("TMP", folder_.file("missing").c_str(), 1);
  GetConsoleLog();
  EXPECT_NE(consoleLog, nullptr);
  EXPECT_EQ(::access(folder_.file("missing").c_str(), F_OK), -1);
}

}  // namespace

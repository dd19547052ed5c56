// The C run-time pieces: text-mode file streams and the time text.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "sandbox.h"
#include "temp_folder.h"
#include "windows_path.h"
#include "winlayer/winlayer.h"

namespace {

class TextStream : public ::testing::Test {
 protected:
  std::string windows_path() const { return ombrix_test::WindowsPathUtf8(file_); }
  std::string bytes() const { return ombrix_test::read_file(file_); }
  const ombrix_test::TempFolder folder_{"crt-test"};
  const std::string file_ = folder_.file("stream.log");
};

TEST_F(TextStream, StoresEachLineFeedAsCarriageReturnLineFeed) {
  FileStream out(windows_path().c_str(), std::ios::out | std::ios::app);
  ASSERT_TRUE(out.is_open());
  out << "one\ntwo\n\n" << 42 << "\n";
  out.flush();
  EXPECT_EQ(bytes(), "one\r\ntwo\r\n\r\n42\r\n");
}

TEST_F(TextStream, AppendsAfterWhatIsThere) {
  ombrix_test::write_file(file_, "old\r\n");
  FileStream out(windows_path().c_str(), std::ios::out | std::ios::app);
  out << "new\n";
  out.close();
  EXPECT_EQ(bytes(), "old\r\nnew\r\n");
}

TEST_F(TextStream, BinaryModeKeepsLineFeeds) {
  FileStream out(windows_path().c_str(), std::ios::out | std::ios::binary);
  out << "a\nb";
  out.close();
  EXPECT_EQ(bytes(), "a\nb");
}

TEST_F(TextStream, WideStreamWritesUtf8) {
  WFileStream out(windows_path().c_str(), std::ios::out | std::ios::app);
  out << L"\u00e9\n";
  out.close();
  EXPECT_EQ(bytes(), "\xC3\xA9\r\n");
}

TEST_F(TextStream, AFileThatCannotBeOpenedFailsTheStreamAndWritesNothing) {
  FileStream out("Z:\\nonexistent-folder-of-the-test\\x.log", std::ios::out | std::ios::app);
  EXPECT_FALSE(out.is_open());
  EXPECT_TRUE(out.fail());
  out << "lost\n";
  out.flush();
  EXPECT_FALSE(std::filesystem::exists("/nonexistent-folder-of-the-test"));
}

TEST(Ctime, PadsTheDayWithAZeroAsTheCRunTimeDoes) {
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  const std::time_t t = 1796678594;  // 2026-12-07 21:23:14 UTC, a Monday
  EXPECT_STREQ(ctime(&t), "Mon Dec 07 21:23:14 2026\n");
}

}  // namespace

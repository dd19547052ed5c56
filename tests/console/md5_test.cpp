// cMD5::DigestFile against RFC 1321's test suite and md5sum, and its failures.
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "md5.h"
#include "sandbox.h"
#include "test_files.h"

namespace {

using ombrix_test::FileHeldElsewhere;
using ombrix_test::WindowsPath;

// Bytes of every value in an order without short periods.
std::string PatternBytes(std::size_t length) {
  std::string bytes(length, '\0');
  std::uint32_t x = 12345;
  for (auto& b : bytes) {
    x = x * 1103515245u + 12345u;
    b = static_cast<char>(x >> 24);
  }
  return bytes;
}

// md5sum's digest of the file, bounded by timeout(1).
std::string Md5sum(const std::string& path) {
  const std::string command = "timeout 30 md5sum -- '" + path + "'";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return "popen failed";
  char digest[33] = {};
  const std::size_t got = std::fread(digest, 1, 32, pipe);
  ::pclose(pipe);
  return std::string(digest, got);
}

class Md5File : public ::testing::Test {
 protected:
  std::string Digest(const std::string& linux_path) { return md5_.DigestFile(WindowsPath(linux_path).c_str()); }
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = folder_.file(name);
    ombrix_test::write_file(path, bytes);
    return path;
  }

  ombrix_test::TempFolder folder_;
  cMD5 md5_;
};

TEST_F(Md5File, RfcTestSuite) {
  const std::vector<std::pair<std::string, std::string>> suite = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& [message, digest] : suite) {
    SCOPED_TRACE(message);
    EXPECT_EQ(Digest(Write("message", message)), digest);
  }
}

TEST_F(Md5File, LengthsAroundTheBlockAndTheReadChunkMatchMd5sum) {
  // 55 bytes end in one final block, 56 to 63 need a second; 1,000,000 bytes are
  // one read and 1,000,001 two.
  for (const std::size_t length : {0, 55, 56, 63, 64, 65, 1000000, 1000001}) {
    SCOPED_TRACE(length);
    const std::string path = Write("pattern", PatternBytes(length));
    const std::string expected = Md5sum(path);
    ASSERT_EQ(expected.size(), 32u);
    EXPECT_EQ(Digest(path), expected);
  }
}

TEST_F(Md5File, OneObjectDigestsFilesInTurn) {
  const std::string first = Write("first", PatternBytes(1000003));
  const std::string second = Write("second", "abc");
  EXPECT_EQ(Digest(first), Md5sum(first));
  EXPECT_EQ(Digest(second), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(Digest(folder_.file("missing")), "");
  EXPECT_EQ(Digest(first), Md5sum(first));
}

TEST_F(Md5File, FilesThatCannotBeOpenedGiveTheEmptyText) {
  const std::string path = Write("movie", "abc");
  EXPECT_EQ(Digest(folder_.file("missing")), "");
  EXPECT_EQ(Digest(folder_.file("missing-folder/movie")), "");
  EXPECT_EQ(Digest(folder_.path()), "");
  EXPECT_EQ(Digest(path), "900150983cd24fb0d6963f7d28e17f72");
}

TEST_F(Md5File, FilesHeldOpenAgainstReadingGiveTheEmptyText) {
  const std::string path = Write("movie", "abc");
  struct Holder {
    const char* what;
    DWORD access, share;
    const char* digest;
  };
  const std::vector<Holder> holders = {
      {"writer sharing reads", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, ""},
      {"reader sharing nothing", GENERIC_READ, 0, ""},
      {"reader sharing reads", GENERIC_READ, FILE_SHARE_READ, "900150983cd24fb0d6963f7d28e17f72"},
  };
  for (const auto& h : holders) {
    SCOPED_TRACE(h.what);
    {
      const HANDLE here = CreateFileW(WindowsPath(path).c_str(), h.access, h.share, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
      ASSERT_NE(here, INVALID_HANDLE_VALUE);
      EXPECT_EQ(Digest(path), h.digest) << "held in this process";
      CloseHandle(here);
    }
    const FileHeldElsewhere elsewhere(path, h.access, h.share);
    ASSERT_EQ(elsewhere.open_error(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(Digest(path), h.digest) << "held by another process";
  }
}

// Empties the file once it has been read from, while the digest reads on.
class Shrinker {
 public:
  explicit Shrinker(const std::string& path) : path_(path), watch_(::inotify_init1(IN_CLOEXEC)) {
    ::inotify_add_watch(watch_, path.c_str(), IN_ACCESS);
    thread_ = std::thread([this] { Run(); });
  }
  ~Shrinker() {
    if (thread_.joinable()) thread_.join();
    ::close(watch_);
  }
  // Waits for the thread; true when it emptied the file.
  bool Shrank() {
    thread_.join();
    return shrank_;
  }

 private:
  void Run() {
    pollfd read_from{watch_, POLLIN, 0};
    shrank_ = ::poll(&read_from, 1, 10000) == 1 && ::truncate(path_.c_str(), 0) == 0;
  }

  std::string path_;
  int watch_;
  bool shrank_ = false;
  std::thread thread_;
};

TEST_F(Md5File, AFileThatShrinksWhileItIsReadGivesTheEmptyText) {
  // The shrink must come before the last of 64 reads; when it came too late the
  // whole digest is right and the attempt is made again.
  const std::string content = PatternBytes(64 * cMD5::kReadBufferSize);
  const std::string path = folder_.file("shrinking");
  ombrix_test::write_file(path, content);
  const std::string whole = Md5sum(path);
  std::string digest = whole;
  for (int attempt = 0; attempt < 5 && digest == whole; ++attempt) {
    ombrix_test::write_file(path, content);
    Shrinker shrinker(path);
    digest = Digest(path);
    ASSERT_TRUE(shrinker.Shrank());
  }
  EXPECT_EQ(digest, "");
}

}  // namespace

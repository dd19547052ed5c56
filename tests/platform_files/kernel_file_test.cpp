// CreateFileW, ReadFile, GetFileSize and DeleteFileW as Windows documents them;
// the C run-time's opens under the same share modes; handle values.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <future>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "sandbox.h"
#include "test_files.h"
#include "win32.h"

namespace {

using ombrix_test::FileHeldElsewhere;
using ombrix_test::WindowsPath;

constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A handle closed when the test ends, whichever way it ends.
class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (valid()) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

class KernelFile : public ::testing::Test {
 protected:
  void SetUp() override { ombrix_test::write_file(file_, "0123456789"); }

  HANDLE Open(const std::string& linux_path, DWORD access, DWORD share, DWORD disposition = OPEN_EXISTING) {
    return CreateFileW(WindowsPath(linux_path).c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
  }

  ombrix_test::TempFolder folder_;
  const std::string file_ = folder_.file("data.bin");
};

struct OpenFailure {
  const char* what;
  std::string name;  // below the test folder; "" is the folder itself
  DWORD access;
  DWORD disposition;
  DWORD error;
};

TEST_F(KernelFile, FailedOpensGiveWindowsErrorCodes) {
  const std::vector<OpenFailure> cases = {
      {"missing file", "/missing.bin", GENERIC_READ, OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
      {"missing file to truncate", "/missing.bin", GENERIC_WRITE, TRUNCATE_EXISTING, ERROR_FILE_NOT_FOUND},
      {"missing folder", "/nowhere/data.bin", GENERIC_READ, OPEN_ALWAYS, ERROR_PATH_NOT_FOUND},
      {"folder for reading", "", GENERIC_READ, OPEN_EXISTING, ERROR_ACCESS_DENIED},
      {"folder for writing", "", GENERIC_WRITE, OPEN_EXISTING, ERROR_ACCESS_DENIED},
      {"folder, open always", "", GENERIC_READ, OPEN_ALWAYS, ERROR_ACCESS_DENIED},
      {"new file that exists", "/data.bin", GENERIC_WRITE, CREATE_NEW, ERROR_FILE_EXISTS},
      {"truncating without write access", "/data.bin", GENERIC_READ, TRUNCATE_EXISTING, ERROR_INVALID_PARAMETER},
      {"disposition 0", "/data.bin", GENERIC_READ, 0, ERROR_INVALID_PARAMETER},
      {"disposition 6", "/data.bin", GENERIC_READ, 6, ERROR_INVALID_PARAMETER},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SetLastError(ERROR_SUCCESS);
    const Handle handle(Open(folder_.path() + c.name, c.access, FILE_SHARE_READ, c.disposition));
    EXPECT_FALSE(handle.valid());
    EXPECT_EQ(GetLastError(), c.error);
  }
  EXPECT_EQ(ombrix_test::read_file(file_), "0123456789");
}

TEST_F(KernelFile, EmptyPathIsPathNotFound) {
  const Handle handle(CreateFileW(TEXT(""), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_FALSE(handle.valid());
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

// Names that Linux allows and Windows forbids reach no file: an existing one is
// neither opened nor deleted, a new one is not created.
TEST_F(KernelFile, NamesWithACharacterWindowsForbidsReachNoFile) {
  ASSERT_EQ(::mkdir(folder_.file("dir|x").c_str(), 0700), 0);
  for (const char* name : {"q\" \"--inj.txt", "a<b", "a>b", "a|b", "a?b", "a*b", "a:b", "tab\tname", "dir|x/inner"}) {
    SCOPED_TRACE(name);
    const std::string existing = folder_.file(name);
    ombrix_test::write_file(existing, "kept");
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(Handle(Open(existing, GENERIC_READ, FILE_SHARE_READ)).valid());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(DeleteFileW(WindowsPath(existing).c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
    EXPECT_EQ(_wfopen(WindowsPath(existing).c_str(), u"w"), nullptr);
    EXPECT_EQ(ombrix_test::read_file(existing), "kept");

    const std::string created = folder_.file(std::string(name) + ".new");
    SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(Handle(Open(created, GENERIC_WRITE, 0, CREATE_ALWAYS)).valid());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
    struct stat st {};
    EXPECT_NE(::lstat(created.c_str(), &st), 0);
  }
}

struct DispositionCase {
  DWORD disposition;
  bool exists_before;
  DWORD last_error;
  const char* content_after;
};

TEST_F(KernelFile, DispositionsCreateKeepOrEmptyTheFile) {
  const std::vector<DispositionCase> cases = {
      {CREATE_NEW, false, ERROR_SUCCESS, ""},
      {CREATE_ALWAYS, false, ERROR_SUCCESS, ""},
      {CREATE_ALWAYS, true, ERROR_ALREADY_EXISTS, ""},
      {OPEN_ALWAYS, false, ERROR_SUCCESS, ""},
      {OPEN_ALWAYS, true, ERROR_ALREADY_EXISTS, "0123456789"},
      {OPEN_EXISTING, true, ERROR_SUCCESS, "0123456789"},
      {TRUNCATE_EXISTING, true, ERROR_SUCCESS, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "disposition " << c.disposition << (c.exists_before ? ", exists" : ""));
    if (c.exists_before) ombrix_test::write_file(file_, "0123456789");
    else ::unlink(file_.c_str());
    SetLastError(ERROR_INVALID_FUNCTION);
    const Handle handle(Open(file_, GENERIC_WRITE, 0, c.disposition));
    ASSERT_TRUE(handle.valid());
    EXPECT_EQ(GetLastError(), c.last_error);
    EXPECT_EQ(ombrix_test::read_file(file_), c.content_after);
  }
}

TEST_F(KernelFile, OpensAnExistingFileWhateverTheCaseOfItsName) {
  const Handle handle(Open(folder_.file("DATA.Bin"), GENERIC_READ, FILE_SHARE_READ));
  ASSERT_TRUE(handle.valid());
  char bytes[4] = {};
  DWORD read = 0;
  ASSERT_TRUE(ReadFile(handle.get(), bytes, 3, &read, nullptr));
  EXPECT_EQ(std::string(bytes, read), "012");
}

struct ShareCase {
  DWORD first_access, first_share;
  DWORD second_access, second_share;
  bool second_opens;
};

// Each row: a handle is open with the first access and share mode; a second open
// asks for the second ones.
const std::vector<ShareCase>& ShareCases() {
  static const std::vector<ShareCase> cases = {
      {GENERIC_READ, FILE_SHARE_READ, GENERIC_READ, FILE_SHARE_READ, true},
      {GENERIC_READ, FILE_SHARE_READ, GENERIC_READ, 0, false},
      {GENERIC_READ, 0, GENERIC_READ, kShareAll, false},
      {GENERIC_WRITE, FILE_SHARE_READ, GENERIC_READ, FILE_SHARE_READ, false},
      {GENERIC_WRITE, FILE_SHARE_READ, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, true},
      {GENERIC_READ, FILE_SHARE_READ, GENERIC_WRITE, kShareAll, false},
      {GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, GENERIC_WRITE, FILE_SHARE_READ, true},
      {GENERIC_WRITE, FILE_SHARE_WRITE, GENERIC_WRITE, FILE_SHARE_WRITE, true},
      {kReadWrite, FILE_SHARE_READ | FILE_SHARE_WRITE, GENERIC_READ, FILE_SHARE_READ, false},
      {DELETE, kShareAll, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, false},
      {DELETE, kShareAll, GENERIC_READ, kShareAll, true},
      {GENERIC_READ, FILE_SHARE_READ, DELETE, kShareAll, false},
      {0, 0, GENERIC_READ, 0, true},  // no data access takes no part
      {GENERIC_READ, 0, 0, 0, true},
  };
  return cases;
}

std::string Describe(const ShareCase& c) {
  return testing::PrintToString(std::vector<DWORD>{c.first_access, c.first_share, c.second_access, c.second_share});
}

TEST_F(KernelFile, ShareModesDecideASecondOpenInTheSameProcess) {
  for (const auto& c : ShareCases()) {
    SCOPED_TRACE(Describe(c));
    const Handle first(Open(file_, c.first_access, c.first_share));
    ASSERT_TRUE(first.valid());
    SetLastError(ERROR_SUCCESS);
    const Handle second(Open(file_, c.second_access, c.second_share));
    EXPECT_EQ(second.valid(), c.second_opens);
    EXPECT_EQ(GetLastError(), c.second_opens ? ERROR_SUCCESS : ERROR_SHARING_VIOLATION);
  }
}

TEST_F(KernelFile, ShareModesHoldAgainstAHandleOfAnotherProcess) {
  for (const auto& c : ShareCases()) {
    SCOPED_TRACE(Describe(c));
    const FileHeldElsewhere other(file_, c.first_access, c.first_share);
    ASSERT_EQ(other.open_error(), static_cast<DWORD>(ERROR_SUCCESS));
    const Handle second(Open(file_, c.second_access, c.second_share));
    EXPECT_EQ(second.valid(), c.second_opens);
  }
}

TEST_F(KernelFile, AnotherProcessCannotOpenAgainstThisProcessesHandle) {
  const Handle writer(Open(file_, GENERIC_WRITE, FILE_SHARE_READ));
  ASSERT_TRUE(writer.valid());
  EXPECT_EQ(FileHeldElsewhere(file_, GENERIC_READ, FILE_SHARE_READ).open_error(),
            static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(FileHeldElsewhere(file_, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE).open_error(),
            static_cast<DWORD>(ERROR_SUCCESS));
}

TEST_F(KernelFile, ClosingTheConflictingHandleAllowsTheOpen) {
  {
    const Handle writer(Open(file_, GENERIC_WRITE, 0));
    ASSERT_TRUE(writer.valid());
    EXPECT_FALSE(Handle(Open(file_, GENERIC_READ, kShareAll)).valid());
  }
  EXPECT_TRUE(Handle(Open(file_, GENERIC_READ, FILE_SHARE_READ)).valid());
  {
    const FileHeldElsewhere other(file_, GENERIC_WRITE, 0);
    ASSERT_EQ(other.open_error(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_FALSE(Handle(Open(file_, GENERIC_READ, kShareAll)).valid());
  }
  EXPECT_TRUE(Handle(Open(file_, GENERIC_READ, FILE_SHARE_READ)).valid());
}

TEST_F(KernelFile, RefusedCreateAlwaysLeavesTheFileAsItWas) {
  const Handle reader(Open(file_, GENERIC_READ, FILE_SHARE_READ));
  ASSERT_TRUE(reader.valid());
  const Handle writer(Open(file_, GENERIC_WRITE, kShareAll, CREATE_ALWAYS));
  EXPECT_FALSE(writer.valid());
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(ombrix_test::read_file(file_), "0123456789");
}

TEST_F(KernelFile, ReadFileReadsOnFromThePositionAndGivesZeroAtTheEnd) {
  const Handle file(Open(file_, GENERIC_READ, FILE_SHARE_READ));
  ASSERT_TRUE(file.valid());
  std::string seen;
  for (const DWORD expected : {4u, 4u, 2u, 0u}) {
    char bytes[4];
    DWORD read = 99;
    ASSERT_TRUE(ReadFile(file.get(), bytes, sizeof bytes, &read, nullptr));
    EXPECT_EQ(read, expected);
    seen.append(bytes, read);
  }
  EXPECT_EQ(seen, "0123456789");
}

TEST_F(KernelFile, ReadFileFailures) {
  const Handle write_only(Open(file_, GENERIC_WRITE, kShareAll));
  const Handle reader(Open(file_, GENERIC_READ, kShareAll));
  ASSERT_TRUE(write_only.valid() && reader.valid());
  const HANDLE closed = Open(file_, GENERIC_READ, kShareAll);
  ASSERT_TRUE(CloseHandle(closed));
  OVERLAPPED overlapped {};
  struct Case {
    const char* what;
    HANDLE handle;
    bool count;
    LPOVERLAPPED overlapped;
    DWORD error;
  };
  const std::vector<Case> cases = {
      {"no read access", write_only.get(), true, nullptr, ERROR_ACCESS_DENIED},
      {"closed handle", closed, true, nullptr, ERROR_INVALID_HANDLE},
      {"invalid handle", INVALID_HANDLE_VALUE, true, nullptr, ERROR_INVALID_HANDLE},
      {"no byte count", reader.get(), false, nullptr, ERROR_INVALID_PARAMETER},
      {"overlapped", reader.get(), true, &overlapped, ERROR_INVALID_PARAMETER},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    char bytes[4];
    DWORD read = 99;
    EXPECT_FALSE(ReadFile(c.handle, bytes, sizeof bytes, c.count ? &read : nullptr, c.overlapped));
    EXPECT_EQ(GetLastError(), c.error);
    if (c.count) {
      EXPECT_EQ(read, 0u);
    }
  }
}

TEST_F(KernelFile, GetFileSizeGivesBothWordsOfTheSize) {
  struct Case {
    std::uint64_t size;
    DWORD low, high;
  };
  // Sparse files for the sizes past 4 GiB; the last one's low word is
  // INVALID_FILE_SIZE, which only the last error tells from a failure.
  const std::vector<Case> cases = {
      {0, 0, 0}, {10, 10, 0}, {0x100000005ull, 5, 1}, {0x1FFFFFFFFull, INVALID_FILE_SIZE, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    ASSERT_EQ(::truncate(file_.c_str(), static_cast<off_t>(c.size)), 0);
    const Handle file(Open(file_, GENERIC_READ, FILE_SHARE_READ));
    ASSERT_TRUE(file.valid());
    SetLastError(ERROR_INVALID_FUNCTION);
    DWORD high = 99;
    EXPECT_EQ(GetFileSize(file.get(), &high), c.low);
    EXPECT_EQ(high, c.high);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(NO_ERROR));
    EXPECT_EQ(GetFileSize(file.get(), nullptr), c.low);
  }
}

TEST_F(KernelFile, GetFileSizeOfAnInvalidHandleFails) {
  DWORD high = 99;
  EXPECT_EQ(GetFileSize(INVALID_HANDLE_VALUE, &high), INVALID_FILE_SIZE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(KernelFile, DeleteFileFailsWhileAHandleDoesNotShareDelete) {
  {
    const Handle reader(Open(file_, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE));
    EXPECT_FALSE(DeleteFileW(WindowsPath(file_).c_str()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  }
  {
    const FileHeldElsewhere other(file_, GENERIC_READ, FILE_SHARE_READ);
    ASSERT_EQ(other.open_error(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_FALSE(DeleteFileW(WindowsPath(file_).c_str()));
  }
  const Handle sharing(Open(file_, GENERIC_READ, kShareAll));
  EXPECT_TRUE(DeleteFileW(WindowsPath(file_).c_str()));
  struct stat st {};
  EXPECT_NE(::stat(file_.c_str(), &st), 0);
}

TEST_F(KernelFile, AReadOnlyFileIsNeitherDeletedNorOpenedForWriting) {
  ASSERT_EQ(::chmod(file_.c_str(), 0444), 0);
  EXPECT_FALSE(DeleteFileW(WindowsPath(file_).c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  for (const DWORD disposition : {static_cast<DWORD>(OPEN_EXISTING), static_cast<DWORD>(CREATE_ALWAYS),
                                  static_cast<DWORD>(TRUNCATE_EXISTING)}) {
    SCOPED_TRACE(disposition);
    EXPECT_FALSE(Handle(Open(file_, GENERIC_WRITE, kShareAll, disposition)).valid());
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  }
  EXPECT_TRUE(Handle(Open(file_, GENERIC_READ, kShareAll)).valid());
  EXPECT_EQ(ombrix_test::read_file(file_), "0123456789");
  ASSERT_EQ(::chmod(file_.c_str(), 0644), 0);
  EXPECT_TRUE(DeleteFileW(WindowsPath(file_).c_str()));
}

// A FIFO is no file: the open fails at once instead of waiting for a writer. If
// it waits, the test opens the other end to let it go and fails.
TEST_F(KernelFile, AFifoIsRefusedWithoutWaiting) {
  const std::string fifo = folder_.file("fifo");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  for (const DWORD access : {GENERIC_READ, GENERIC_WRITE, kReadWrite}) {
    SCOPED_TRACE(access);
    auto opened = std::async(std::launch::async, [&] {
      const HANDLE handle = Open(fifo, access, kShareAll);
      const DWORD error = GetLastError();
      if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
      return std::make_pair(handle != INVALID_HANDLE_VALUE, error);
    });
    if (opened.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      ADD_FAILURE() << "the open waits for the FIFO's other end";
      const ombrix_test::FileHeldElsewhere other_end(fifo, access == GENERIC_READ ? GENERIC_WRITE : GENERIC_READ, 0);
    }
    const auto [opened_it, error] = opened.get();
    EXPECT_FALSE(opened_it);
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
  }
}

TEST_F(KernelFile, ADeviceReadsAsADevice) {
  const Handle null(Open("/dev/null", GENERIC_READ, kShareAll));
  ASSERT_TRUE(null.valid());
  char byte = 0;
  DWORD read = 99;
  EXPECT_TRUE(ReadFile(null.get(), &byte, 1, &read, nullptr));
  EXPECT_EQ(read, 0u);
  EXPECT_EQ(GetFileSize(null.get(), nullptr), 0u);
}

// The C run-time's opens hold the access their mode asks for and share reading
// and writing, as Windows' fopen and fstream do.
struct RunTimeCase {
  const char* what;
  const char16_t* mode;  // null: a FileStream opened for appending
  DWORD access, share;   // a later CreateFileW
  bool opens;
};

TEST_F(KernelFile, RunTimeOpensTakePartInSharing) {
  const std::vector<RunTimeCase> cases = {
      {"writer against a reader that denies writing", u"w", GENERIC_READ, FILE_SHARE_READ, false},
      {"writer against a reader that shares writing", u"w", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, true},
      {"appender against a writer", u"ab", GENERIC_WRITE, kShareAll, true},
      {"reader against a writer that denies reading", u"r", GENERIC_WRITE, FILE_SHARE_WRITE, false},
      {"any open against one that denies deleting", u"r", DELETE, kShareAll, false},
      {"log stream against a reader that denies writing", nullptr, GENERIC_READ, FILE_SHARE_READ, false},
      {"log stream against a reader that shares writing", nullptr, GENERIC_READ, kShareAll, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FILE* stream = c.mode != nullptr ? _wfopen(WindowsPath(file_).c_str(), c.mode) : nullptr;
    FileStream log;
    if (c.mode == nullptr) log.open(("Z:" + file_).c_str(), std::ios::out | std::ios::app);
    ASSERT_TRUE(stream != nullptr || log.is_open());
    EXPECT_EQ(Handle(Open(file_, c.access, c.share)).valid(), c.opens);
    if (stream != nullptr) std::fclose(stream);
  }
}

TEST_F(KernelFile, RunTimeOpensFailWithEaccesAgainstAHandleThatDeniesThem) {
  const FileHeldElsewhere other(file_, GENERIC_READ, FILE_SHARE_READ);
  ASSERT_EQ(other.open_error(), static_cast<DWORD>(ERROR_SUCCESS));
  errno = 0;
  EXPECT_EQ(_wfopen(WindowsPath(file_).c_str(), u"a"), nullptr);
  EXPECT_EQ(errno, EACCES);
  FileStream log(("Z:" + file_).c_str(), std::ios::out | std::ios::app);
  EXPECT_FALSE(log.is_open());
  FILE* reader = _wfopen(WindowsPath(file_).c_str(), u"rb");
  ASSERT_NE(reader, nullptr);
  std::fclose(reader);
  EXPECT_EQ(ombrix_test::read_file(file_), "0123456789");
}

// Handle values are never given out again, so that a stale copy reaches
// nothing. Several rounds, as a freed object's memory is often reused at once.
TEST_F(KernelFile, AStaleHandleReachesNothingAfterNewOpens) {
  const std::string other_file = folder_.file("other.bin");
  ombrix_test::write_file(other_file, "abc");
  for (int round = 0; round < 8; ++round) {
    SCOPED_TRACE(round);
    const HANDLE stale = Open(file_, GENERIC_READ, kShareAll);
    ASSERT_NE(stale, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(CloseHandle(stale));
    const Handle fresh(Open(other_file, GENERIC_READ, kShareAll));
    ASSERT_TRUE(fresh.valid());
    EXPECT_NE(fresh.get(), stale);
    char bytes[4];
    DWORD read = 99;
    EXPECT_FALSE(ReadFile(stale, bytes, sizeof bytes, &read, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(CloseHandle(stale));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    ASSERT_TRUE(ReadFile(fresh.get(), bytes, sizeof bytes, &read, nullptr));
    EXPECT_EQ(std::string(bytes, read), "abc");
  }
}

// A read that has found its handle finishes on the open file even when another
// thread closes the handle meanwhile; the reads after the close fail.
TEST_F(KernelFile, ACloseRacingReadsNeverFreesTheFileUnderThem) {
  ombrix_test::write_file(file_, std::string(8 << 20, 'x'));
  for (int round = 0; round < 50; ++round) {
    const HANDLE file = Open(file_, GENERIC_READ, kShareAll);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    std::atomic<bool> reading{false};
    DWORD end_error = ERROR_SUCCESS;
    std::thread reader([&] {
      for (;;) {
        char bytes[16];
        DWORD read = 0;
        if (!ReadFile(file, bytes, sizeof bytes, &read, nullptr)) {
          end_error = GetLastError();
          return;
        }
        if (read == 0) return;  // the end of the file, before any close
        reading = true;
      }
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!reading && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    EXPECT_TRUE(CloseHandle(file));
    reader.join();
    ASSERT_TRUE(reading);
    EXPECT_EQ(end_error, static_cast<DWORD>(ERROR_INVALID_HANDLE));
  }
}

}  // namespace

// File helpers for tests.
#include "test_files.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace ombrix_test {
namespace {

constexpr int kAnswerTimeoutMs = 10000;
constexpr int kChildLifetimeMs = 60000;
constexpr auto kEndTimeout = std::chrono::seconds(10);

// The child: opens the file, reports, and waits until the parent lets go.
[[noreturn]] void HoldFile(const std::string& linux_path, DWORD access, DWORD share, int report_fd, int release_fd) {
  // Only the two pipes stay: descriptors inherited from the parent would keep
  // its handles' locks alive.
  if (::dup2(release_fd, 0) < 0 || ::dup2(report_fd, 1) < 0) ::_exit(1);
  ::close_range(3, ~0u, 0);
  const HANDLE file = CreateFileW(WindowsPath(linux_path).c_str(), access, share, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  const DWORD error = file == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
  if (::write(1, &error, sizeof error) != sizeof error) ::_exit(1);
  pollfd released{0, POLLIN, 0};
  ::poll(&released, 1, kChildLifetimeMs);
  ::_exit(0);
}

DWORD AwaitAnswer(int report_fd) {
  pollfd ready{report_fd, POLLIN, 0};
  DWORD error = FileHeldElsewhere::kNoAnswer;
  if (::poll(&ready, 1, kAnswerTimeoutMs) == 1 && ::read(report_fd, &error, sizeof error) != sizeof error) {
    error = FileHeldElsewhere::kNoAnswer;
  }
  return error;
}

}  // namespace

FileHeldElsewhere::FileHeldElsewhere(const std::string& linux_path, DWORD access, DWORD share) {
  int report[2], release[2];
  if (::pipe2(report, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  if (::pipe2(release, O_CLOEXEC) != 0) {
    ::close(report[0]);
    ::close(report[1]);
    throw std::runtime_error("pipe failed");
  }
  child_ = ::fork();
  if (child_ == 0) HoldFile(linux_path, access, share, report[1], release[0]);
  ::close(report[1]);
  ::close(release[0]);
  release_fd_ = release[1];
  if (child_ > 0) open_error_ = AwaitAnswer(report[0]);
  ::close(report[0]);
}

FileHeldElsewhere::~FileHeldElsewhere() {
  ::close(release_fd_);
  if (child_ <= 0) return;
  const auto deadline = std::chrono::steady_clock::now() + kEndTimeout;
  while (::waitpid(child_, nullptr, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(child_, SIGKILL);
      ::waitpid(child_, nullptr, 0);
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

}  // namespace ombrix_test

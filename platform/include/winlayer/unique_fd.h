// A file descriptor with one owner: closed when the owner goes, so that no
// error path of the layer leaks one. Public only because the C run-time's stream
// buffers (crt.h) hold one; system code never uses it.
#ifndef WINLAYER_UNIQUE_FD_H
#define WINLAYER_UNIQUE_FD_H

#include <unistd.h>

#include <utility>

namespace winlayer {

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { reset(); }
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int get() const { return fd_; }
  // Hands the descriptor over to a new owner, which closes it.
  int release() { return std::exchange(fd_, -1); }
  bool valid() const { return fd_ >= 0; }
  void reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

}  // namespace winlayer

#endif

// Text-mode files over POSIX descriptors, through fopencookie.
#include "crt_text_mode.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "unique_fd.h"

namespace winlayer {
namespace {

constexpr char kEndOfText = '\x1A';  // Ctrl+Z ends a text-mode read

class TextModeFile {
 public:
  explicit TextModeFile(UniqueFd fd) : fd_(std::move(fd)) {}

  ssize_t read(char* out, std::size_t size) {
    std::size_t n = 0;
    while (n < size) {
      const int c = next();
      if (c < 0) break;
      if (c == '\r' && peek() == '\n') continue;  // the line feed comes next
      out[n++] = static_cast<char>(c);
    }
    return static_cast<ssize_t>(n);
  }

  ssize_t write(const char* bytes, std::size_t size) {
    const std::string stored = to_text_mode(std::string_view(bytes, size));
    for (std::size_t done = 0; done < stored.size();) {
      const ssize_t n = ::write(fd_.get(), stored.data() + done, stored.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return done == 0 ? -1 : static_cast<ssize_t>(size);
      done += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(size);
  }

  int seek(off64_t* offset, int whence) {
    start_ = end_ = 0;
    ended_ = false;
    const off64_t at = ::lseek64(fd_.get(), *offset, whence);
    if (at < 0) return -1;
    *offset = at;
    return 0;
  }

 private:
  // The next byte, or -1 at the end of the file or at Ctrl+Z.
  int next() {
    const int c = peek();
    if (c >= 0) ++start_;
    return c;
  }
  int peek() {
    if (start_ == end_ && !fill()) return -1;
    if (buffer_[start_] == kEndOfText) ended_ = true;
    return ended_ ? -1 : static_cast<unsigned char>(buffer_[start_]);
  }
  bool fill() {
    if (ended_) return false;
    ssize_t n;
    do {
      n = ::read(fd_.get(), buffer_.data(), buffer_.size());
    } while (n < 0 && errno == EINTR);
    start_ = 0;
    end_ = n > 0 ? static_cast<std::size_t>(n) : 0;
    return n > 0;
  }

  UniqueFd fd_;
  std::vector<char> buffer_ = std::vector<char>(4096);
  std::size_t start_ = 0;
  std::size_t end_ = 0;
  bool ended_ = false;
};

int open_flags(const std::string& mode) {
  const bool plus = mode.find('+') != std::string::npos;
  switch (mode.empty() ? '\0' : mode[0]) {
    case 'r': return O_CLOEXEC | (plus ? O_RDWR : O_RDONLY);
    case 'w': return O_CLOEXEC | O_CREAT | O_TRUNC | (plus ? O_RDWR : O_WRONLY);
    case 'a': return O_CLOEXEC | O_CREAT | O_APPEND | (plus ? O_RDWR : O_WRONLY);
    default: return -1;
  }
}

const cookie_io_functions_t kTextModeFunctions = {
    [](void* file, char* out, std::size_t size) { return static_cast<TextModeFile*>(file)->read(out, size); },
    [](void* file, const char* bytes, std::size_t size) {
      return static_cast<TextModeFile*>(file)->write(bytes, size);
    },
    [](void* file, off64_t* offset, int whence) { return static_cast<TextModeFile*>(file)->seek(offset, whence); },
    [](void* file) {
      delete static_cast<TextModeFile*>(file);
      return 0;
    },
};

}  // namespace

std::string to_text_mode(std::string_view bytes) {
  std::string stored;
  stored.reserve(bytes.size() + bytes.size() / 8);
  for (const char c : bytes) {
    if (c == '\n') stored += '\r';
    stored += c;
  }
  return stored;
}

std::FILE* open_text_mode_file(const std::string& linux_path, const std::string& mode) {
  const int flags = open_flags(mode);
  if (flags < 0) {
    errno = EINVAL;
    return nullptr;
  }
  UniqueFd fd(::open(linux_path.c_str(), flags, 0666));
  if (!fd.valid()) return nullptr;
  auto* file = new TextModeFile(std::move(fd));
  std::FILE* stream = ::fopencookie(file, mode.c_str(), kTextModeFunctions);
  if (stream == nullptr) delete file;
  return stream;
}

}  // namespace winlayer

// Text-mode files over POSIX descriptors, through fopencookie.
#include "crt_text_mode.h"

#include <fcntl.h>
#include <unistd.h>

#include <ext/stdio_sync_filebuf.h>

#include <iostream>
#include <vector>

#include "posix_io.h"

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
    return write_all(fd_.get(), to_text_mode(std::string_view(bytes, size))) ? static_cast<ssize_t>(size) : -1;
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
    const ssize_t n = read_some(fd_.get(), buffer_.data(), buffer_.size());
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

// The stream of a file, which the stream then owns; null with the file deleted
// when no stream can be made.
std::FILE* stream_of(TextModeFile* file, const char* mode) {
  std::FILE* stream = ::fopencookie(file, mode, kTextModeFunctions);
  if (stream == nullptr) delete file;
  return stream;
}

// The files under the standard streams, which stay open to the end: held here
// too, as the leak checker does not look into the C library's own streams.
TextModeFile* standard_files[2];

// A text-mode stream on a copy of a standard descriptor; the old stream is kept
// when no copy can be made.
std::FILE* text_mode_copy_of(std::FILE* old, int fd, int buffering, TextModeFile*& kept) {
  UniqueFd copy(::fcntl(fd, F_DUPFD_CLOEXEC, 3));
  if (!copy.valid()) return old;
  kept = new TextModeFile(std::move(copy));
  std::FILE* stream = stream_of(kept, "w");
  if (stream == nullptr) {
    kept = nullptr;
    return old;
  }
  std::fflush(old);
  ::setvbuf(stream, nullptr, buffering, buffering == _IONBF ? 0 : BUFSIZ);
  return stream;
}

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

std::FILE* text_mode_stream(UniqueFd fd, const char* mode) {
  return fd.valid() ? stream_of(new TextModeFile(std::move(fd)), mode) : nullptr;
}

void make_standard_streams_text_mode() {
  stdout = text_mode_copy_of(stdout, STDOUT_FILENO, ::isatty(STDOUT_FILENO) ? _IOLBF : _IOFBF, standard_files[0]);
  stderr = text_mode_copy_of(stderr, STDERR_FILENO, _IONBF, standard_files[1]);
  // Never destroyed: the streams write until the process's last exit handler.
  static auto* out = new __gnu_cxx::stdio_sync_filebuf<char>(stdout);
  static auto* err = new __gnu_cxx::stdio_sync_filebuf<char>(stderr);
  std::cout.rdbuf(out);
  std::cerr.rdbuf(err);
  std::clog.rdbuf(err);
}

}  // namespace winlayer

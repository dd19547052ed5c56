// The C run-time's file functions where Windows differs from POSIX: Windows paths,
// and text mode, which stores each line feed as carriage return plus line feed.
#ifndef WINLAYER_CRT_H
#define WINLAYER_CRT_H

#include <cstdio>
#include <ctime>
#include <ios>
#include <istream>
#include <memory>
#include <streambuf>
#include <string>

#include "winlayer/types.h"
#include "winlayer/unique_fd.h"

// Opens a file by its Windows path with an fopen mode ("r", "w", "a", "+", "b",
// "t"). Without "b" the file is in text mode, the C run-time's default: a line
// feed written is stored as CR LF, CR LF reads as a line feed, and a read ends at
// Ctrl+Z. With "b" bytes pass unchanged. The open takes part in the share modes
// of CreateFileW as the C run-time's does: the access the mode asks for, sharing
// reading and writing. Null on failure, with errno set: ENOENT for a missing
// file or folder, EACCES for a folder, a read-only file opened for writing or a
// sharing violation, EINVAL for a bad mode.
FILE* _wfopen(const WCHAR* filename, const WCHAR* mode);

namespace winlayer {

// The output side of a file opened as the C run-time opens it (see _wfopen): a
// Windows path, the modes of std::basic_fstream (out, app, trunc, binary) and,
// unless binary, text mode. Each flush writes what is buffered with one write to the file, so a line
// that is flushed whole is never interleaved with another process's output on a
// file opened for appending. Wide characters are stored as UTF-8.
template <class CharT>
class TextFileBuf : public std::basic_streambuf<CharT> {
 public:
  using int_type = typename std::basic_streambuf<CharT>::int_type;
  using traits_type = typename std::basic_streambuf<CharT>::traits_type;

  TextFileBuf() = default;
  ~TextFileBuf() override;
  TextFileBuf(const TextFileBuf&) = delete;
  TextFileBuf& operator=(const TextFileBuf&) = delete;

  bool open(const char* windows_path, std::ios_base::openmode mode);
  bool is_open() const { return fd_.valid(); }
  // False when the buffered bytes could not all be written or the close failed.
  bool close();

 protected:
  int_type overflow(int_type ch) override;
  std::streamsize xsputn(const CharT* s, std::streamsize n) override;
  int sync() override;

 private:
  UniqueFd fd_;
  bool text_mode_ = true;
  std::basic_string<CharT> pending_;
};

template <class CharT>
class basic_fstream : public std::basic_iostream<CharT> {
 public:
  basic_fstream() : std::basic_iostream<CharT>(&buf_) {}
  basic_fstream(const char* windows_path, std::ios_base::openmode mode) : basic_fstream() {
    open(windows_path, mode);
  }
  void open(const char* windows_path, std::ios_base::openmode mode) {
    if (!buf_.open(windows_path, mode)) this->setstate(std::ios_base::failbit);
  }
  bool is_open() const { return buf_.is_open(); }
  void close() {
    if (!buf_.close()) this->setstate(std::ios_base::failbit);
  }

 private:
  TextFileBuf<CharT> buf_;
};

extern template class TextFileBuf<char>;
extern template class TextFileBuf<wchar_t>;

}  // namespace winlayer

// ctime in the C run-time's form: the day of the month with a leading zero
// ("Mon Dec 07 21:23:14 2026\n"), where the POSIX form pads it with a blank.
extern "C" char* winlayer_ctime(const std::time_t* time);
#define ctime winlayer_ctime

// File streams whose bytes on disk follow the C run-time's text mode.
using FileStream = winlayer::basic_fstream<char>;
using WFileStream = winlayer::basic_fstream<wchar_t>;

#endif

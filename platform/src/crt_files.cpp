// The C run-time's file opening by Windows paths, and text-mode output streams.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "crt_text_mode.h"
#include "paths.h"
#include "text.h"
#include "winlayer/crt.h"

FILE* _wfopen(const WCHAR* filename, const WCHAR* mode) {
  std::string linux_path;
  if (filename == nullptr || mode == nullptr || !winlayer::to_linux_path(std::u16string_view(filename), linux_path)) {
    errno = ENOENT;
    return nullptr;
  }
  const std::string text = winlayer::utf16_to_utf8(mode);
  if (text.find('b') != std::string::npos) return std::fopen(linux_path.c_str(), text.c_str());
  std::string text_mode;  // without "t": text is the C run-time's default
  for (const char c : text) {
    if (c != 't') text_mode += c;
  }
  return winlayer::open_text_mode_file(linux_path, text_mode);
}

namespace winlayer {
namespace {

int open_flags(std::ios_base::openmode mode) {
  const bool in = mode & std::ios_base::in;
  const bool app = (mode & std::ios_base::app) != 0;
  const bool trunc = (mode & std::ios_base::trunc) != 0;
  int flags = O_CLOEXEC | (in ? O_RDWR : O_WRONLY);
  if (app) return flags | O_CREAT | O_APPEND;
  if (trunc || !in) return flags | O_CREAT | O_TRUNC;
  return flags;
}

void append_bytes(std::string& out, const std::basic_string<char>& text) { out += text; }

void append_bytes(std::string& out, const std::basic_string<wchar_t>& text) {
  std::u16string units;
  for (const wchar_t c : text) {
    const auto cp = static_cast<char32_t>(c);
    if (cp < 0x10000) {
      units += static_cast<char16_t>(cp);
    } else {
      units += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
      units += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
  }
  out += utf16_to_utf8(units);
}

}  // namespace

template <class CharT>
TextFileBuf<CharT>::~TextFileBuf() {
  close();
}

template <class CharT>
bool TextFileBuf<CharT>::open(const char* windows_path, std::ios_base::openmode mode) {
  if (fd_ >= 0 || !(mode & std::ios_base::out)) return false;
  std::string linux_path;
  if (windows_path == nullptr || !to_linux_path(std::string_view(windows_path), linux_path)) return false;
  fd_ = ::open(linux_path.c_str(), open_flags(mode), 0666);
  text_mode_ = (mode & std::ios_base::binary) == 0;
  return fd_ >= 0;
}

template <class CharT>
bool TextFileBuf<CharT>::close() {
  if (fd_ < 0) return false;
  const bool flushed = sync() == 0;
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  return flushed && closed;
}

template <class CharT>
typename TextFileBuf<CharT>::int_type TextFileBuf<CharT>::overflow(int_type ch) {
  if (fd_ < 0) return traits_type::eof();
  if (!traits_type::eq_int_type(ch, traits_type::eof())) pending_ += traits_type::to_char_type(ch);
  return traits_type::not_eof(ch);
}

template <class CharT>
std::streamsize TextFileBuf<CharT>::xsputn(const CharT* s, std::streamsize n) {
  if (fd_ < 0) return 0;
  pending_.append(s, static_cast<std::size_t>(n));
  return n;
}

template <class CharT>
int TextFileBuf<CharT>::sync() {
  if (fd_ < 0) return -1;
  if (pending_.empty()) return 0;
  std::string bytes;
  append_bytes(bytes, pending_);
  pending_.clear();
  if (text_mode_) bytes = to_text_mode(bytes);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return -1;
    done += static_cast<std::size_t>(n);
  }
  return 0;
}

template class TextFileBuf<char>;
template class TextFileBuf<wchar_t>;

}  // namespace winlayer

extern "C" char* winlayer_ctime(const std::time_t* time) {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  static thread_local char text[32];
  std::tm local {};
  if (time == nullptr || ::localtime_r(time, &local) == nullptr) return nullptr;
  std::snprintf(text, sizeof text, "%s %s %02d %02d:%02d:%02d %4d\n", kDays[local.tm_wday], kMonths[local.tm_mon],
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, local.tm_year + 1900);
  return text;
}

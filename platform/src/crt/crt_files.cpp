// The C run-time's file opening by Windows paths, and text-mode output streams.
// Its opens take part in Windows' share modes as the C run-time's do: the access
// its mode asks for, sharing reading and writing.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "crt_text_mode.h"
#include "errors.h"
#include "file_open.h"
#include "paths.h"
#include "posix_io.h"
#include "text.h"
#include "winlayer/crt.h"
#include "winlayer/kernel.h"
#include "winlayer/kernel_file.h"

namespace winlayer {
namespace {

constexpr DWORD kRunTimeShare = FILE_SHARE_READ | FILE_SHARE_WRITE;

struct RunTimeOpen {
  bool valid = false;
  DWORD access = 0;
  DWORD disposition = 0;
  bool append = false;
};

// An fopen mode without "b" or "t": "r", "w" or "a", then "+" for both ways.
RunTimeOpen parse_mode(std::string_view mode) {
  RunTimeOpen how;
  const bool both = mode.find('+') != std::string_view::npos;
  switch (mode.empty() ? '\0' : mode[0]) {
    case 'r': how = {true, GENERIC_READ, OPEN_EXISTING, false}; break;
    case 'w': how = {true, GENERIC_WRITE, CREATE_ALWAYS, false}; break;
    case 'a': how = {true, GENERIC_WRITE, OPEN_ALWAYS, true}; break;
    default: return how;
  }
  if (both) how.access = GENERIC_READ | GENERIC_WRITE;
  return how;
}

// The fopen mode of a stream's open mode.
const char* mode_of(std::ios_base::openmode mode) {
  const bool in = (mode & std::ios_base::in) != 0;
  if ((mode & std::ios_base::app) != 0) return in ? "a+" : "a";
  if (in) return (mode & std::ios_base::trunc) != 0 ? "w+" : "r+";
  return "w";
}

// Opens as the C run-time opens a file; an invalid descriptor with errno set on
// failure.
UniqueFd open_run_time_file(std::u16string_view windows_path, std::string_view mode) {
  const RunTimeOpen how = parse_mode(mode);
  std::string linux_path;
  OpenedFile file;
  if (!how.valid) {
    errno = EINVAL;
  } else if (!to_linux_path(windows_path, linux_path) ||
             !open_file(linux_path, how.access, kRunTimeShare, how.disposition, file)) {
    errno = errno_from_error(GetLastError());
  } else if (how.append && ::fcntl(file.fd.get(), F_SETFL, ::fcntl(file.fd.get(), F_GETFL) | O_APPEND) != 0) {
    file.fd.reset();
  }
  return std::move(file.fd);
}

void append_bytes(std::string& out, const std::basic_string<char>& text) { out += text; }
void append_bytes(std::string& out, const std::basic_string<wchar_t>& text) { out += wide_to_utf8(text); }

}  // namespace

template <class CharT>
TextFileBuf<CharT>::~TextFileBuf() {
  close();
}

template <class CharT>
bool TextFileBuf<CharT>::open(const char* windows_path, std::ios_base::openmode mode) {
  if (fd_.valid() || !(mode & std::ios_base::out) || windows_path == nullptr) return false;
  fd_ = open_run_time_file(utf8_to_utf16(windows_path), mode_of(mode));
  text_mode_ = (mode & std::ios_base::binary) == 0;
  return fd_.valid();
}

template <class CharT>
bool TextFileBuf<CharT>::close() {
  if (!fd_.valid()) return false;
  const bool flushed = sync() == 0;
  const bool closed = ::close(fd_.release()) == 0;
  return flushed && closed;
}

template <class CharT>
typename TextFileBuf<CharT>::int_type TextFileBuf<CharT>::overflow(int_type ch) {
  if (!fd_.valid()) return traits_type::eof();
  if (!traits_type::eq_int_type(ch, traits_type::eof())) pending_ += traits_type::to_char_type(ch);
  return traits_type::not_eof(ch);
}

template <class CharT>
std::streamsize TextFileBuf<CharT>::xsputn(const CharT* s, std::streamsize n) {
  if (!fd_.valid()) return 0;
  pending_.append(s, static_cast<std::size_t>(n));
  return n;
}

template <class CharT>
int TextFileBuf<CharT>::sync() {
  if (!fd_.valid()) return -1;
  if (pending_.empty()) return 0;
  std::string bytes;
  append_bytes(bytes, pending_);
  pending_.clear();
  return write_all(fd_.get(), text_mode_ ? to_text_mode(bytes) : bytes) ? 0 : -1;
}

template class TextFileBuf<char>;
template class TextFileBuf<wchar_t>;

}  // namespace winlayer

FILE* _wfopen(const WCHAR* filename, const WCHAR* mode) {
  if (filename == nullptr || mode == nullptr) {
    errno = EINVAL;
    return nullptr;
  }
  std::string plain;  // without "b" and "t": text is the C run-time's default
  for (const char c : winlayer::utf16_to_utf8(mode)) {
    if (c != 'b' && c != 't') plain += c;
  }
  winlayer::UniqueFd fd = winlayer::open_run_time_file(filename, plain);
  if (!fd.valid()) return nullptr;
  if (std::char_traits<char16_t>::find(mode, std::char_traits<char16_t>::length(mode), u'b') == nullptr) {
    return winlayer::text_mode_stream(std::move(fd), plain.c_str());
  }
  std::FILE* file = ::fdopen(fd.get(), plain.c_str());
  if (file != nullptr) fd.release();
  return file;
}

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

// Folders of the user's own that other users must not reach into: the logon
// session's folder, whose files the processes of the session share, and the
// layer's own drive C:. A folder is taken only when it is a real folder of this
// user that no one else may write to, and it is held open, so that each file in
// it is reached through the folder that was checked and never through a link.
#ifndef WINLAYER_PRIVATE_FOLDER_H
#define WINLAYER_PRIVATE_FOLDER_H

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "winlayer/unique_fd.h"

namespace winlayer {

class PrivateFolder {
 public:
  // Opens the folder, made (0700) when missing; the folder above must exist.
  // Invalid with errno EACCES when the path is a link or not a folder, when the
  // folder belongs to another user, or when its group or others may write to it;
  // with the errno of the failure when it cannot be made or opened.
  static PrivateFolder open(const std::string& path);
  // A folder inside this one, made and checked the same way.
  PrivateFolder open_folder(std::string_view name) const;

  bool valid() const { return fd_.valid(); }
  const std::string& path() const { return path_; }

  // Each call below fails with errno set; on an invalid folder, the errno of its
  // opening.

  // A regular file of the folder, opened with flags (O_CREAT makes it 0600 when
  // missing) without following a link: a link or anything but a regular file is
  // refused with EACCES.
  UniqueFd open_file(std::string_view name, int flags) const;
  // The file opened for reading and writing, made when missing, and locked for
  // this process alone until the descriptor closes.
  UniqueFd open_locked(std::string_view name) const;
  // The whole file; EFBIG when it holds more than limit bytes.
  bool read_file(std::string_view name, std::size_t limit, std::string& content) const;
  // Gives the file this content whole: written to a new file made exclusively
  // beside it, then renamed over it, so that a reader sees the old or the new.
  bool replace_file(std::string_view name, std::string_view content) const;
  bool remove_file(std::string_view name) const;
  // The names in the folder, without "." and "..".
  std::vector<std::string> names() const;

 private:
  // An invalid folder (no descriptor) sets errno to its error.
  PrivateFolder(UniqueFd fd, std::string path, int error);
  // Makes (0700) and opens the folder name below parent (a descriptor, or
  // AT_FDCWD), checked as open() tells.
  static PrivateFolder opened(int parent, const std::string& name, const std::string& path);
  // Fails with the opening's error when the folder is invalid, with EINVAL for a
  // name that would leave it.
  bool usable(std::string_view name) const;

  UniqueFd fd_;
  std::string path_;
  int error_ = 0;
};

// The logon session's folder, the profile's logon_session.
PrivateFolder session_folder();

// Files of lines that processes of the session share (open_locked() files):
// the whole text, read from the start, at most limit bytes. A last line cut
// short by a process that ended while writing it is dropped from the file, and
// the offset is left at the end, where the next line goes.
bool read_lines(int fd, std::size_t limit, std::string& text);
// The index of the line that equals wanted without regard to case, or the
// number of lines and false.
bool find_line(std::string_view text, std::string_view wanted, std::size_t& index);

}  // namespace winlayer

#endif

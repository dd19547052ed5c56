// A directory stream with one owner: closed when the owner goes, so that no
// folder walk of the layer leaks one.
#ifndef WINLAYER_UNIQUE_DIR_H
#define WINLAYER_UNIQUE_DIR_H

#include <dirent.h>

#include <string>
#include <utility>

namespace winlayer {

class UniqueDir {
 public:
  explicit UniqueDir(const std::string& linux_path) : dir_(::opendir(linux_path.c_str())) {}
  ~UniqueDir() {
    if (dir_ != nullptr) ::closedir(dir_);
  }
  UniqueDir(UniqueDir&& other) noexcept : dir_(std::exchange(other.dir_, nullptr)) {}
  UniqueDir& operator=(UniqueDir&&) = delete;
  UniqueDir(const UniqueDir&) = delete;
  UniqueDir& operator=(const UniqueDir&) = delete;

  bool valid() const { return dir_ != nullptr; }
  // The next entry, "." and ".." included; null at the end.
  const dirent* next() { return dir_ == nullptr ? nullptr : ::readdir(dir_); }

 private:
  DIR* dir_;
};

}  // namespace winlayer

#endif

// A fresh folder below the system's temporary folder, removed with everything
// in it when the object ends.
#ifndef OMBRIX_TESTS_TEMP_FOLDER_H
#define OMBRIX_TESTS_TEMP_FOLDER_H

#include <string>

namespace ombrix_test {

class TempFolder {
 public:
  // The folder's name begins with the prefix, to tell whose a leftover is.
  explicit TempFolder(const std::string& prefix = "ombrix-test");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace ombrix_test

#endif

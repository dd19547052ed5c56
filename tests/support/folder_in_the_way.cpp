// The things in the way of a folder of the user's own.
#include "folder_in_the_way.h"

#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>

#include "sandbox.h"

namespace ombrix_test {
namespace {

constexpr uid_t kOtherUser = 65534;

void check(bool done, const std::string& what, const std::string& path) {
  if (!done) throw std::runtime_error("cannot " + what + " " + path);
}

void folder_of_mode(const std::string& path, mode_t mode) {
  check(::mkdir(path.c_str(), 0700) == 0 && ::chmod(path.c_str(), mode) == 0, "make", path);
}

}  // namespace

const std::vector<FolderInTheWay>& folders_in_the_way() {
  static const std::vector<FolderInTheWay> cases{
      {"ALink", false,
       [](const std::string& path, const std::string& elsewhere) {
         check(::symlink(elsewhere.c_str(), path.c_str()) == 0, "link", path);
       }},
      {"AFolderOfAnotherUser", true,
       [](const std::string& path, const std::string&) {
         folder_of_mode(path, 0700);
         check(::chown(path.c_str(), kOtherUser, kOtherUser) == 0, "give away", path);
       }},
      {"AFolderOthersMayWriteTo", false, [](const std::string& path, const std::string&) { folder_of_mode(path, 01777); }},
      {"AFolderItsGroupMayWriteTo", false, [](const std::string& path, const std::string&) { folder_of_mode(path, 0770); }},
      {"AFile", false, [](const std::string& path, const std::string&) { write_file(path, "not a folder\n"); }},
  };
  return cases;
}

}  // namespace ombrix_test

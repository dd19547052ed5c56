// What another user could have put where the layer makes a folder of the user's
// own (the logon session's, drive C:'s), for the tests that show it is refused.
#ifndef OMBRIX_TESTS_FOLDER_IN_THE_WAY_H
#define OMBRIX_TESTS_FOLDER_IN_THE_WAY_H

#include <string>
#include <vector>

namespace ombrix_test {

struct FolderInTheWay {
  const char* label;
  bool needs_root;  // only root can give a folder to another user
  // Puts it at path (throws when it cannot); a link points to elsewhere, an
  // existing folder of the user's own.
  void (*make)(const std::string& path, const std::string& elsewhere);
};

// A link, a folder of another user, folders that others or the group may write
// to, and a file.
const std::vector<FolderInTheWay>& folders_in_the_way();

}  // namespace ombrix_test

#endif

// Folders of the user's own (the logon session's, the layer's drive C:): what is
// refused in a folder's place, and files in a folder that are never reached
// through a link or outside it.
#include "private_folder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "case_name.h"
#include "folder_in_the_way.h"
#include "posix_io.h"
#include "sandbox.h"
#include "temp_folder.h"

namespace {

using ombrix_test::case_name;
using ::operator<<;  // cases print by their label
using winlayer::PrivateFolder;

constexpr uid_t kOtherUser = 65534;

bool is_root() { return ::geteuid() == 0; }

mode_t mode_of(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
  return status.st_mode;
}

std::vector<std::string> entries(const std::string& folder) {
  std::vector<std::string> names = PrivateFolder::open(folder).names();
  std::sort(names.begin(), names.end());
  return names;
}

class RefusedFolder : public ::testing::TestWithParam<ombrix_test::FolderInTheWay> {
 protected:
  ombrix_test::TempFolder root_;
};

TEST_P(RefusedFolder, IsRefusedAndNothingIsWrittenThroughIt) {
  if (GetParam().needs_root && !is_root()) GTEST_SKIP() << "only root can give a folder to another user";
  const std::string path = root_.file("session");
  const std::string elsewhere = root_.file("elsewhere");
  ombrix_test::make_folder(elsewhere);
  ::chmod(elsewhere.c_str(), 0700);
  GetParam().make(path, elsewhere);

  errno = 0;
  const PrivateFolder folder = PrivateFolder::open(path);
  EXPECT_FALSE(folder.valid());
  EXPECT_EQ(errno, EACCES);
  errno = 0;
  EXPECT_FALSE(folder.open_locked("handles").valid());
  EXPECT_EQ(errno, EACCES);
  EXPECT_FALSE(folder.replace_file("0x00010000", "record\n"));
  EXPECT_FALSE(folder.open_folder("windows").valid());
  EXPECT_EQ(errno, EACCES);
  EXPECT_TRUE(entries(elsewhere).empty());
  if (S_ISDIR(mode_of(path))) {
    EXPECT_FALSE(ombrix_test::file_exists(path + "/handles"));
    EXPECT_FALSE(ombrix_test::file_exists(path + "/windows"));
  }
}

INSTANTIATE_TEST_SUITE_P(InThePlaceOfAFolder, RefusedFolder, ::testing::ValuesIn(ombrix_test::folders_in_the_way()),
                         case_name<ombrix_test::FolderInTheWay>);

TEST(PrivateFolder, IsMadeForTheUserAloneWhenMissingAndTakenWhenItIsTheUsers) {
  ombrix_test::TempFolder root;
  const std::string path = root.file("session");
  PrivateFolder made = PrivateFolder::open(path + "/");
  ASSERT_TRUE(made.valid());
  EXPECT_EQ(made.path(), path);
  EXPECT_EQ(mode_of(path) & 07777, 0700u);
  ASSERT_TRUE(made.replace_file("atoms", "name\n"));
  const PrivateFolder windows = made.open_folder("windows");
  ASSERT_TRUE(windows.valid());
  EXPECT_EQ(mode_of(path + "/windows") & 07777, 0700u);

  ASSERT_EQ(::chmod(path.c_str(), 0755), 0);  // others may read, not write
  const PrivateFolder again = PrivateFolder::open(path);
  ASSERT_TRUE(again.valid());
  std::string content;
  EXPECT_TRUE(again.read_file("atoms", 100, content));
  EXPECT_EQ(content, "name\n");
  EXPECT_EQ(entries(path), (std::vector<std::string>{"atoms", "windows"}));
}

// A folder of the user's own with a file outside it that a link points to.
class FilesInAPrivateFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    victim_ = root_.file("victim");
    ombrix_test::write_file(victim_, "victim");
  }
  PrivateFolder folder() const { return PrivateFolder::open(root_.file("session")); }
  std::string in_folder(const std::string& name) const { return root_.file("session/" + name); }
  void plant_link(const std::string& name) const {
    ASSERT_TRUE(folder().valid());
    ASSERT_EQ(::symlink(victim_.c_str(), in_folder(name).c_str()), 0);
  }

  ombrix_test::TempFolder root_;
  std::string victim_;
};

TEST_F(FilesInAPrivateFolder, APlantedLinkIsNeitherOpenedNorWrittenThrough) {
  plant_link("0x00010000");
  const PrivateFolder session = folder();
  for (const int flags : {O_RDONLY, O_RDWR | O_CREAT, O_WRONLY | O_CREAT | O_TRUNC}) {
    SCOPED_TRACE(flags);
    errno = 0;
    EXPECT_FALSE(session.open_file("0x00010000", flags).valid());
    EXPECT_EQ(errno, EACCES);
  }
  EXPECT_FALSE(session.open_locked("0x00010000").valid());
  std::string content;
  EXPECT_FALSE(session.read_file("0x00010000", 100, content));
  EXPECT_EQ(content, "");
  EXPECT_EQ(ombrix_test::read_file(victim_), "victim");

  // Replacing takes the name from the link; the file it pointed to stays.
  ASSERT_TRUE(session.replace_file("0x00010000", "record\n"));
  EXPECT_TRUE(S_ISREG(mode_of(in_folder("0x00010000"))));
  EXPECT_EQ(ombrix_test::read_file(in_folder("0x00010000")), "record\n");
  EXPECT_EQ(ombrix_test::read_file(victim_), "victim");
  EXPECT_EQ(entries(root_.file("session")), (std::vector<std::string>{"0x00010000"}));
}

TEST_F(FilesInAPrivateFolder, WhatIsNotARegularFileOfTheUserIsRefusedAtOnce) {
  const PrivateFolder session = folder();
  ASSERT_EQ(::mkfifo(in_folder("fifo").c_str(), 0600), 0);
  errno = 0;
  EXPECT_FALSE(session.open_file("fifo", O_RDWR).valid());  // would wait for a writer if opened
  EXPECT_EQ(errno, EACCES);
  ASSERT_TRUE(session.open_folder("windows").valid());
  EXPECT_FALSE(session.open_file("windows", O_RDONLY).valid());
  EXPECT_EQ(errno, EACCES);
  if (!is_root()) return;  // another user's file needs root to make
  ombrix_test::write_file(in_folder("theirs"), "x");
  ASSERT_EQ(::chown(in_folder("theirs").c_str(), kOtherUser, kOtherUser), 0);
  errno = 0;
  EXPECT_FALSE(session.open_file("theirs", O_RDONLY).valid());
  EXPECT_EQ(errno, EACCES);
}

TEST_F(FilesInAPrivateFolder, NamesThatWouldLeaveTheFolderAreRefused) {
  const PrivateFolder session = folder();
  ASSERT_TRUE(session.open_folder("windows").valid());
  for (const char* name : {"../victim", "windows/record", "..", ".", ""}) {
    SCOPED_TRACE(name);
    errno = 0;
    EXPECT_FALSE(session.open_file(name, O_RDWR | O_CREAT).valid());
    EXPECT_EQ(errno, EINVAL);
    EXPECT_FALSE(session.replace_file(name, "x"));
    EXPECT_FALSE(session.remove_file(name));
  }
  EXPECT_FALSE(session.open_folder("..").valid());
  EXPECT_EQ(ombrix_test::read_file(victim_), "victim");
  EXPECT_EQ(entries(in_folder("windows")), std::vector<std::string>{});
}

TEST_F(FilesInAPrivateFolder, AFileIsReadWholeUpToItsBound) {
  const PrivateFolder session = folder();
  const std::string text(10000, 'a');  // more than one read's buffer
  ASSERT_TRUE(session.replace_file("atoms", text));
  std::string content;
  EXPECT_TRUE(session.read_file("atoms", text.size(), content));
  EXPECT_EQ(content, text);
  errno = 0;
  EXPECT_FALSE(session.read_file("atoms", text.size() - 1, content));
  EXPECT_EQ(errno, EFBIG);
  errno = 0;
  EXPECT_FALSE(session.read_file("missing", 10, content));
  EXPECT_EQ(errno, ENOENT);
}

TEST_F(FilesInAPrivateFolder, ALineCutShortIsDroppedBeforeTheNextIsAdded) {
  const PrivateFolder session = folder();
  ombrix_test::write_file(in_folder("atoms"), "First\nsec");  // a writer ended in the middle
  const winlayer::UniqueFd fd = session.open_locked("atoms");
  ASSERT_TRUE(fd.valid());
  std::string text;
  ASSERT_TRUE(winlayer::read_lines(fd.get(), 100, text));
  EXPECT_EQ(text, "First\n");
  ASSERT_TRUE(winlayer::write_all(fd.get(), "Second\n"));
  EXPECT_EQ(ombrix_test::read_file(in_folder("atoms")), "First\nSecond\n");

  ASSERT_TRUE(winlayer::read_lines(fd.get(), 100, text));
  std::size_t index = 99;
  EXPECT_TRUE(winlayer::find_line(text, "first", index));
  EXPECT_EQ(index, 0u);
  EXPECT_TRUE(winlayer::find_line(text, "SECOND", index));
  EXPECT_EQ(index, 1u);
  EXPECT_FALSE(winlayer::find_line(text, "Sec", index));
  EXPECT_EQ(index, 2u);
}

}  // namespace

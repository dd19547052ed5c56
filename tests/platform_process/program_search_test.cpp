// The pure rules of the program search: which heads a command line stands for,
// and which file names are tried for one.
#include <gtest/gtest.h>

#include "program_search.h"

namespace {

using Names = std::vector<std::u16string>;

struct HeadCase {
  std::u16string line;
  Names heads;
};

class HeadCandidates : public ::testing::TestWithParam<HeadCase> {};

TEST_P(HeadCandidates, AreTriedShortestFirstUnlessQuoted) {
  EXPECT_EQ(winlayer::head_candidates(GetParam().line), GetParam().heads);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HeadCandidates,
    ::testing::Values(HeadCase{u"cmd /C rd", {u"cmd", u"cmd /C", u"cmd /C rd"}},
                      HeadCase{u"setup", {u"setup"}},
                      HeadCase{u"C:\\Program Files\\a b\\Setup.exe --x",
                               {u"C:\\Program", u"C:\\Program Files\\a", u"C:\\Program Files\\a b\\Setup.exe",
                                u"C:\\Program Files\\a b\\Setup.exe --x"}},
                      HeadCase{u"a \t b  ", {u"a", u"a \t b"}},
                      HeadCase{u"\"C:\\Program Files\\a b\\Setup.exe\" --x", {u"C:\\Program Files\\a b\\Setup.exe"}},
                      HeadCase{u"\"unclosed name", {u"unclosed name"}},
                      HeadCase{u"", {}}));

struct FileNameCase {
  std::u16string name;
  Names files;
};

class FileNameCandidates : public ::testing::TestWithParam<FileNameCase> {};

TEST_P(FileNameCandidates, AddExeThenTheBareNameOnlyWithoutAnExtension) {
  EXPECT_EQ(winlayer::file_name_candidates(GetParam().name), GetParam().files);
}

INSTANTIATE_TEST_SUITE_P(Cases, FileNameCandidates,
                         ::testing::Values(FileNameCase{u"cmd", {u"cmd.exe", u"cmd"}},
                                           FileNameCase{u"Setup.exe", {u"Setup.exe"}},
                                           FileNameCase{u"tool.bat", {u"tool.bat"}},
                                           FileNameCase{u"C:\\v1.2\\tool", {u"C:\\v1.2\\tool.exe", u"C:\\v1.2\\tool"}},
                                           FileNameCase{u"C:tool", {u"C:tool.exe", u"C:tool"}}));

TEST(HasFolderPart, IsTrueForSeparatorsAndDrives) {
  EXPECT_FALSE(winlayer::has_folder_part(u"cmd"));
  EXPECT_FALSE(winlayer::has_folder_part(u"cmd.exe"));
  EXPECT_TRUE(winlayer::has_folder_part(u"sub\\cmd"));
  EXPECT_TRUE(winlayer::has_folder_part(u"sub/cmd"));
  EXPECT_TRUE(winlayer::has_folder_part(u"C:cmd"));
}

}  // namespace

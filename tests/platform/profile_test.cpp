// INI parsing and the machine profile built from it.
#include <gtest/gtest.h>

#include "profile.h"

namespace {

constexpr const char* kProfile = R"(; a machine
[System]
wow64 = false      ; a 32-bit Windows
program_files = D:\Programs
Trace = /tmp/trace.log
[drives]
c = /srv/drive-c
D = /srv/drive-d
[share:\\fileserver\deploy]
path = /srv/deploy
user = admin
password = se;cret#1
[share:\\fileserver\public]
path = /srv/public
)";

TEST(IniFile, ReadsSectionsAndKeysWithoutRegardToCase) {
  const auto ini = winlayer::IniFile::parse(kProfile);
  EXPECT_EQ(ini.get("system", "WOW64"), "false");
  EXPECT_EQ(ini.get("SYSTEM", "trace"), "/tmp/trace.log");
  EXPECT_EQ(ini.get("system", "missing", "fallback"), "fallback");
  EXPECT_EQ(ini.get("nosection", "x", "f"), "f");
  EXPECT_FALSE(ini.has("system", "windows"));
}

TEST(IniFile, CommentsNeedABlankBeforeThemInsideAValue) {
  const auto ini = winlayer::IniFile::parse(kProfile);
  EXPECT_EQ(ini.get("share:\\\\fileserver\\deploy", "password"), "se;cret#1");
  EXPECT_EQ(ini.get("system", "wow64"), "false");
}

TEST(Profile, TakesEveryKeyAndDefaultsTheRest) {
  const auto p = winlayer::Profile::from_ini(winlayer::IniFile::parse(kProfile), "/x/machine.ini");
  EXPECT_FALSE(p.wow64);
  EXPECT_TRUE(p.has_iswow64process);
  EXPECT_EQ(p.program_files, "D:\\Programs");
  EXPECT_EQ(p.windows, "C:\\Windows");
  EXPECT_EQ(p.trace_path, "/tmp/trace.log");
  EXPECT_EQ(p.logon_session, "/x/machine.ini.logon");
  EXPECT_EQ(p.drives.at('C'), "/srv/drive-c");
  EXPECT_EQ(p.drives.at('D'), "/srv/drive-d");
  ASSERT_EQ(p.shares.size(), 2u);
  EXPECT_EQ(p.shares[0].unc, "\\\\fileserver\\deploy");
  EXPECT_EQ(p.shares[0].user, "admin");
  EXPECT_TRUE(p.shares[1].user.empty());
}

TEST(Profile, WithoutAFileDescribesTheDefaultMachine) {
  const auto p = winlayer::Profile::from_ini(winlayer::IniFile{}, "");
  EXPECT_TRUE(p.wow64);
  EXPECT_EQ(p.program_files, "C:\\Program Files (x86)");
  EXPECT_EQ(p.windows, "C:\\Windows");
  EXPECT_TRUE(p.drives.empty());
  EXPECT_FALSE(p.system_folder.empty());
}

}  // namespace

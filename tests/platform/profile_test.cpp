// INI parsing and the machine profile built from it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <map>
#include <optional>
#include <string>

#include "profile.h"
#include "winlayer/types.h"

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
  const auto p = winlayer::Profile::from_ini(winlayer::IniFile{}, "", [](const char* name) {
    return std::string(name) == "HOME" ? "/home/user" : nullptr;
  });
  EXPECT_TRUE(p.wow64);
  EXPECT_EQ(p.program_files, "C:\\Program Files (x86)");
  EXPECT_EQ(p.windows, "C:\\Windows");
  EXPECT_EQ(p.drives, (std::map<char, std::string>{{'C', "/home/user/.local/share/winlayer/drive-c"}}));
  EXPECT_TRUE(p.default_drive_c);
  EXPECT_FALSE(p.system_folder.empty());
}

TEST(Profile, AMappedDriveCIsNotTheLayersOwn) {
  const auto p = winlayer::Profile::from_ini(winlayer::IniFile::parse(kProfile), "/x/machine.ini");
  EXPECT_FALSE(p.default_drive_c);
}

struct ProgramFilesCase {
  const char* system_keys;
  const char* program_files;
};

TEST(Profile, TheDefaultProgramFilesFollowsWow64) {
  const ProgramFilesCase cases[] = {
      {"", "C:\\Program Files (x86)"},
      {"wow64 = true\n", "C:\\Program Files (x86)"},
      {"wow64 = false\n", "C:\\Program Files"},
      {"wow64 = false\nprogram_files = E:\\Apps\n", "E:\\Apps"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.system_keys);
    const auto ini = winlayer::IniFile::parse(std::string("[system]\n") + c.system_keys);
    EXPECT_EQ(winlayer::Profile::from_ini(ini, "/x/machine.ini").program_files, c.program_files);
  }
}

struct NumberCase {
  const char* text;
  std::optional<unsigned long> value;
};

TEST(ParseNumber, DecimalOrHexadecimalAfter0xAndNothingElse) {
  const NumberCase cases[] = {
      {"1920", 1920},
      {"010", 10},
      {"0", 0},
      {"0x0409", 0x0409},
      {"0X7c0C", 0x7C0C},
      {"0x0", 0},
      {"", std::nullopt},
      {"0x", std::nullopt},
      {"0x12g", std::nullopt},
      {"12a", std::nullopt},
      {"1024px", std::nullopt},
      {"-5", std::nullopt},
      {"+5", std::nullopt},
      {" 5", std::nullopt},
      {"1 024", std::nullopt},
      {"1e3", std::nullopt},
      {"german", std::nullopt},
      {"99999999999999999999999", std::nullopt},
      {"0x1ffffffffffffffffffff", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(winlayer::parse_number(c.text), c.value);
  }
}

struct ScreenCase {
  const char* keys;
  int width;
  int height;
};

TEST(Profile, ScreenSizeIsAPositiveNumberElseTheDefault) {
  const ScreenCase cases[] = {
      {"", 1920, 1080},
      {"width = 1024\nheight = 768\n", 1024, 768},
      {"width = 0800\nheight = 0x300\n", 800, 768},
      {"width = 0\nheight = -768\n", 1920, 1080},
      {"width = wide\nheight = 768px\n", 1920, 1080},
      {"width = 2147483647\nheight = 2147483648\n", 2147483647, 1080},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    const auto p = winlayer::Profile::from_ini(winlayer::IniFile::parse(std::string("[screen]\n") + c.keys), "");
    EXPECT_EQ(p.screen_width, c.width);
    EXPECT_EQ(p.screen_height, c.height);
  }
}

struct LanguageCase {
  const char* keys;
  WORD ui;
  WORD system;
  WORD user;
};

TEST(Profile, LanguagesAreIdentifiersUpTo0xFFFFElseTheDefault) {
  const LanguageCase cases[] = {
      {"", 0x0409, 0x0409, 0x0409},
      {"ui_language = 0x0809\nsystem_language = 0x0407\nuser_locale = 0x040C\n", 0x0809, 0x0407, 0x040C},
      {"ui_language = 0\nsystem_language = 0x0407\n", 0, 0x0407, 0x0407},
      {"ui_language = 1031\nsystem_language = 01036\n", 0x0407, 0x040C, 0x040C},
      {"ui_language = 0xFFFF\nsystem_language = 0x10000\n", 0xFFFF, 0x0409, 0x0409},
      {"system_language = 0x0407\nuser_locale = english\n", 0x0409, 0x0407, 0x0407},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.keys);
    const auto p = winlayer::Profile::from_ini(winlayer::IniFile::parse(std::string("[locale]\n") + c.keys), "");
    EXPECT_EQ(p.ui_language, c.ui);
    EXPECT_EQ(p.system_language, c.system);
    EXPECT_EQ(p.user_locale, c.user);
  }
}

struct DriveCCase {
  const char* profile_path;
  const char* xdg_data_home;
  const char* home;
  std::string folder;
};

TEST(DefaultDriveC, LiesBesideTheProfileElseInTheUsersDataFolder) {
  const DriveCCase cases[] = {
      {"/x/machine.ini", "/data", "/home/user", "/x/machine.ini.drive-c"},
      {"", "/data", "/home/user", "/data/winlayer/drive-c"},
      {"", nullptr, "/home/user", "/home/user/.local/share/winlayer/drive-c"},
      {"", "relative/data", "/home/user", "/home/user/.local/share/winlayer/drive-c"},
      {"", nullptr, nullptr, "/tmp/winlayer-drive-c-" + std::to_string(::getuid())},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    const winlayer::Environment environment = [&c](const char* name) {
      return std::string(name) == "XDG_DATA_HOME" ? c.xdg_data_home : std::string(name) == "HOME" ? c.home : nullptr;
    };
    EXPECT_EQ(winlayer::default_drive_c_folder(c.profile_path, environment), c.folder);
  }
}

struct ShareCase {
  const char* root;
  const char* found;  // the share's folder, or null: error
  DWORD error;
};

TEST(Profile, FindsSharesByServerAndNameWithoutRegardToCase) {
  const auto p = winlayer::Profile::from_ini(winlayer::IniFile::parse(kProfile), "/x/machine.ini");
  const ShareCase cases[] = {
      {"\\\\fileserver\\deploy", "/srv/deploy", 0},
      {"\\\\FILESERVER\\Public", "/srv/public", 0},
      {"\\\\fileserver\\other", nullptr, ERROR_BAD_NET_NAME},
      {"\\\\elsewhere\\deploy", nullptr, ERROR_BAD_NETPATH},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.root);
    DWORD error = 0;
    const winlayer::Share* share = p.find_share(c.root, error);
    if (c.found != nullptr) {
      ASSERT_NE(share, nullptr);
      EXPECT_EQ(share->linux_path, c.found);
    } else {
      EXPECT_EQ(share, nullptr);
      EXPECT_EQ(error, c.error);
    }
  }
}

}  // namespace

// WNetAddConnection2W against the profile's share table, and the logon session
// that keeps what it connected.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "case_name.h"
#include "process_machine.h"
#include "win32.h"

namespace {
namespace fs = std::filesystem;
using ::operator<<;  // cases print by their label

// The test process's machine, with its shares.
const ombrix_test::ProcessMachine machine("network", [](const std::string& root) {
  for (const char* folder : {"/open", "/secure/pkg", "/blank", "/later/pkg"}) fs::create_directories(root + folder);
  return "[system]\nlogon_session = " + root + "/logon\n" +
         "[share:\\\\fileserver\\deploy]\npath = " + root + "/open\n" +
         "[share:\\\\secure\\deploy]\npath = " + root + "/secure\nuser = admin\npassword = secret\n" +
         "[share:\\\\blank\\deploy]\npath = " + root + "/blank\nuser = admin\npassword =\n" +
         "[share:\\\\later\\deploy]\npath = " + root + "/later\nuser = admin\npassword = secret\n";
});

struct ConnectCase {
  const char* label;
  const char16_t* remote;
  const char16_t* user;      // null: the logged-on user's own
  const char16_t* password;  // null: the logged-on user's own
  DWORD type;
  const char16_t* local;
  DWORD result;
};

class Connect : public ::testing::TestWithParam<ConnectCase> {};

TEST_P(Connect, GivesWindowsResultCodes) {
  const ConnectCase& c = GetParam();
  std::u16string remote = c.remote, local = c.local != nullptr ? c.local : u"";
  NETRESOURCEW resource = {};
  resource.dwType = c.type;
  resource.lpRemoteName = remote.data();
  resource.lpLocalName = c.local != nullptr ? local.data() : nullptr;
  SetLastError(12345);
  EXPECT_EQ(WNetAddConnection2W(&resource, c.password, c.user, 0), c.result);
  EXPECT_EQ(GetLastError(), c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Connect,
    ::testing::Values(
        ConnectCase{"OpenShareTakesAnyCredentials", u"\\\\fileserver\\deploy", u"x", u"y", RESOURCETYPE_DISK, nullptr, 0},
        ConnectCase{"OpenShareWithoutCredentials", u"\\\\FILESERVER\\Deploy", nullptr, nullptr, RESOURCETYPE_ANY,
                    nullptr, 0},
        ConnectCase{"RightCredentials", u"\\\\secure\\deploy", u"admin", u"secret", RESOURCETYPE_DISK, nullptr, 0},
        ConnectCase{"AFolderBelowTheShare", u"\\\\secure\\deploy\\pkg", u"admin", u"secret", RESOURCETYPE_DISK,
                    nullptr, 0},
        ConnectCase{"UserNameInAnyCase", u"\\\\secure\\deploy", u"ADMIN", u"secret", RESOURCETYPE_DISK, nullptr, 0},
        ConnectCase{"PasswordInAnotherCase", u"\\\\secure\\deploy", u"admin", u"SECRET", RESOURCETYPE_DISK, nullptr,
                    ERROR_LOGON_FAILURE},
        ConnectCase{"WrongUser", u"\\\\secure\\deploy", u"guest", u"secret", RESOURCETYPE_DISK, nullptr,
                    ERROR_LOGON_FAILURE},
        ConnectCase{"NullPasswordIsNotEmpty", u"\\\\blank\\deploy", u"admin", nullptr, RESOURCETYPE_DISK, nullptr,
                    ERROR_LOGON_FAILURE},
        ConnectCase{"EmptyPassword", u"\\\\blank\\deploy", u"admin", u"", RESOURCETYPE_DISK, nullptr, 0},
        ConnectCase{"NullUser", u"\\\\secure\\deploy", nullptr, u"secret", RESOURCETYPE_DISK, nullptr,
                    ERROR_LOGON_FAILURE},
        ConnectCase{"UnknownServer", u"\\\\nowhere\\deploy", u"admin", u"secret", RESOURCETYPE_DISK, nullptr,
                    ERROR_BAD_NETPATH},
        ConnectCase{"UnknownShare", u"\\\\secure\\other", u"admin", u"secret", RESOURCETYPE_DISK, nullptr,
                    ERROR_BAD_NET_NAME},
        ConnectCase{"ServerWithoutShare", u"\\\\secure", u"admin", u"secret", RESOURCETYPE_DISK, nullptr,
                    ERROR_BAD_NET_NAME},
        ConnectCase{"NotANetworkName", u"C:\\deploy", u"admin", u"secret", RESOURCETYPE_DISK, nullptr,
                    ERROR_BAD_NET_NAME},
        ConnectCase{"APrinter", u"\\\\secure\\deploy", u"admin", u"secret", RESOURCETYPE_PRINT, nullptr,
                    ERROR_BAD_DEV_TYPE},
        ConnectCase{"ADriveLetter", u"\\\\secure\\deploy", u"admin", u"secret", RESOURCETYPE_DISK, u"X:",
                    ERROR_NOT_SUPPORTED}),
    ombrix_test::case_name<ConnectCase>);

TEST(Connect, RefusesAMissingRecord) {
  EXPECT_EQ(WNetAddConnection2W(nullptr, u"", u"", 0), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  NETRESOURCEW resource = {};
  EXPECT_EQ(WNetAddConnection2W(&resource, u"", u"", 0), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(Connect, ASuccessfulConnectionOpensTheShareForTheLogonSession) {
  std::u16string remote = u"\\\\later\\deploy\\pkg";
  NETRESOURCEW resource = {};
  resource.dwType = RESOURCETYPE_DISK;
  resource.lpRemoteName = remote.data();
  EXPECT_FALSE(PathFileExistsW(remote.c_str()));
  EXPECT_EQ(WNetAddConnection2W(&resource, u"wrong", u"admin", 0), static_cast<DWORD>(ERROR_LOGON_FAILURE));
  EXPECT_FALSE(PathFileExistsW(remote.c_str()));
  EXPECT_EQ(WNetAddConnection2W(&resource, u"secret", u"admin", 0), 0u);
  EXPECT_TRUE(PathFileExistsW(remote.c_str()));
  std::ifstream session(machine.root + "/logon/connections");
  std::string line;
  EXPECT_TRUE(std::getline(session, line));
  EXPECT_EQ(line, "\\\\later\\deploy");
}

}  // namespace

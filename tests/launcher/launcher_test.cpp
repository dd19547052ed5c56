// The setup launcher end to end: the built runner on a package, with the test
// setup program, per-test profiles and shares mapped to local folders.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "case_name.h"
#include "package_fixture.h"
#include "run_checks.h"

namespace {
namespace fs = std::filesystem;
using ::operator<<;  // cases print by their label
using launcher_test::Description;
using launcher_test::Package;
using ombrix_test::WindowsPathUtf8;
using Lines = std::vector<std::string>;

const std::string kFromDescription = "Invoking installer from the path specified in the input xml file";
const std::string kInvoking = "Invoking installer setup.exe";
const std::string kServerGiven = "Server Location given on command line. Trying to access the server location";
const std::string kNotAccessed = "Server Location could not be accessed.";
const std::string kConnecting = "Trying to connect the server using username and password";
const std::string kCleanUp = "Installation successful. Proceeding to delete the installer";
const std::string kDeleting = "Invoking delete command";

bool has_line(const Lines& lines, const std::string& wanted) {
  for (const auto& line : lines) {
    if (line == wanted) return true;
  }
  return false;
}

// What the runner hands a setup program at the given path.
std::string setup_command_line(const Package& p, const std::string& setup, bool override_file, bool skip) {
  std::string line = "\"" + setup + "\" --mode=Silent --deploymentFile=\"" + p.windows_temp() + "\\deployment.xml\"";
  if (override_file) line += " --overrideFile=\"" + p.windows_temp() + "\\application.xml.override\"";
  return skip ? line + " --skipProcessCheck=1" : line;
}

class Launcher : public ::testing::Test {
 protected:
  // A local run whose setup program lies at setup and is found: the launcher's
  // lines, the command line it received, success.
  void expect_local_setup_ran(const ombrix_test::RunResult& run, const std::string& setup_windows) {
    EXPECT_TRUE(ombrix_test::ended_with(run, 0));
    EXPECT_EQ(p_.launcher_lines(), (Lines{kFromDescription, kInvoking}));
    EXPECT_TRUE(has_line(p_.box().log_lines(), "Install - Installation successfull"));
    EXPECT_EQ(p_.record().command_line, setup_command_line(p_, setup_windows, true, false));
  }
  std::string package_windows() const { return WindowsPathUtf8(p_.box().package()); }

  Package p_;
};

// --- the local branch ---------------------------------------------------------------

TEST_F(Launcher, FindsTheInstallerLocationBelowTheProgramFolder) {
  p_.describe({"kit"});
  p_.place_setup(p_.box().package() + "/kit");
  expect_local_setup_ran(p_.run({}), package_windows() + "\\kit\\Setup.exe");
}

TEST_F(Launcher, TakesAnAbsoluteInstallerLocationAsItStands) {
  const std::string kit = p_.box().root() + "/kit";
  p_.describe({WindowsPathUtf8(kit)});
  p_.place_setup(kit);
  expect_local_setup_ran(p_.run({}), WindowsPathUtf8(kit) + "\\Setup.exe");
}

// The setup path is quoted: a program planted at a shorter prefix of a folder
// with blanks is never started in its place.
TEST_F(Launcher, StartsTheSetupProgramOfAFolderWithBlanksAndNoPlantedOne) {
  const std::string kit = p_.box().root() + "/Program Files/Ombrix kit";
  p_.describe({WindowsPathUtf8(kit)});
  p_.place_setup(kit);
  p_.place_setup(p_.box().root());
  fs::rename(p_.box().root() + "/Setup.exe", p_.box().root() + "/Program.exe");
  expect_local_setup_ran(p_.run({}), WindowsPathUtf8(kit) + "\\Setup.exe");
  EXPECT_EQ(p_.record().module, WindowsPathUtf8(kit) + "\\Setup.exe");
  EXPECT_EQ(p_.record().argv.front(), WindowsPathUtf8(kit) + "\\Setup.exe");
}

TEST_F(Launcher, AnEmptyInstallerLocationIsTheProgramFolder) {
  p_.describe({""});
  p_.place_setup(p_.box().package());
  expect_local_setup_ran(p_.run({}), package_windows() + "\\\\Setup.exe");
}

TEST_F(Launcher, AMissingSetupProgramEndsTheRunWithMinusOne) {
  p_.describe({"kit"});
  const auto run = p_.run({});
  EXPECT_EQ(run.exit_status, 255);
  EXPECT_EQ(p_.launcher_lines(), (Lines{kFromDescription, "Installer does not exist in the specified path."}));
  EXPECT_TRUE(has_line(p_.box().log_lines(), "Error - Installation failed"));
  EXPECT_FALSE(p_.record().ran);
}

// --- the command line -------------------------------------------------------------

struct CommandLineCase {
  const char* program;
  bool ignore_processes;
};

class SetupCommandLine : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(SetupCommandLine, HoldsTheGeneratedFilesAndTheProcessSwitch) {
  Package p(GetParam().program);
  p.describe({"kit", GetParam().ignore_processes});
  p.place_setup(p.box().package() + "/kit");
  EXPECT_TRUE(ombrix_test::ended_with(p.run({}), 0));
  const bool install = std::string(GetParam().program) == "ZoltInstaller";
  EXPECT_EQ(p.record().command_line, setup_command_line(p, WindowsPathUtf8(p.box().package()) + "\\kit\\Setup.exe",
                                                        install, GetParam().ignore_processes));
  EXPECT_EQ(p.record().argv.size(), (install ? 4u : 3u) + (GetParam().ignore_processes ? 1 : 0));
}

INSTANTIATE_TEST_SUITE_P(Cases, SetupCommandLine,
                         ::testing::Values(CommandLineCase{"ZoltInstaller", false},
                                           CommandLineCase{"ZoltInstaller", true},
                                           CommandLineCase{"ZoltUnInstaller", false},
                                           CommandLineCase{"ZoltUnInstaller", true}),
                         [](const auto& info) {
                           return std::string(info.param.program) + (info.param.ignore_processes ? "Skip" : "");
                         });

// --- the server branch ------------------------------------------------------------

// Three shares: one open to all, one that needs admin/secret, one whose password
// is empty; the setup program lies in pkg/ on each of them.
const char kShares[] =
    "[share:\\\\fileserver\\deploy]\npath = {root}/open\n"
    "[share:\\\\secure\\deploy]\npath = {root}/secure\nuser = admin\npassword = secret\n"
    "[share:\\\\blank\\deploy]\npath = {root}/blank\nuser = admin\npassword =\n";

class ServerLauncher : public Launcher {
 protected:
  void SetUp() override {
    std::string shares = kShares;
    for (std::size_t at; (at = shares.find("{root}")) != std::string::npos;) shares.replace(at, 6, p_.box().root());
    p_.box().write_profile(shares);
    p_.describe({"kit"});
    for (const char* share : {"open", "secure", "blank"}) p_.place_setup(p_.box().root() + "/" + share + "/pkg");
    fs::create_directories(p_.box().root() + "/secure/empty");
  }
};

struct ServerCase {
  const char* label;
  std::string server;
  std::vector<std::string> args;
  Lines lines;  // the launcher's, after kServerGiven
  int status;
};

class ServerBranch : public ServerLauncher, public ::testing::WithParamInterface<ServerCase> {};

TEST_P(ServerBranch, ReachesOrConnectsTheShare) {
  const ServerCase& c = GetParam();
  std::vector<std::string> args{"-server=" + c.server};
  args.insert(args.end(), c.args.begin(), c.args.end());
  EXPECT_EQ(p_.run(args).exit_status, c.status);
  Lines expected{kServerGiven};
  expected.insert(expected.end(), c.lines.begin(), c.lines.end());
  EXPECT_EQ(p_.launcher_lines(), expected);
  EXPECT_EQ(p_.record().ran, c.status == 0);
  if (c.status == 0) {
    EXPECT_EQ(p_.record().command_line, setup_command_line(p_, c.server + "\\Setup.exe", true, false));
  }
  // No line carries the server value, the user name, the password or a path.
  for (const auto& line : p_.box().log_lines()) {
    for (const char* secret : {"\\\\", "admin", "ADMIN", "secret", "wrong", "Setup.exe", "--mode"}) {
      EXPECT_EQ(line.find(secret), std::string::npos) << line;
    }
  }
}

const std::string kConnectionFailed = "Connection to server unsuccessful. Exiting...";

INSTANTIATE_TEST_SUITE_P(
    Cases, ServerBranch,
    ::testing::Values(
        ServerCase{"OpenShareIgnoresUserAndPassword", "\\\\fileserver\\deploy\\pkg", {"-user=admin", "-password=wrong"},
                   {kInvoking}, 0},
        ServerCase{"RightUserAndPassword", "\\\\secure\\deploy\\pkg", {"-user=ADMIN", "-password=secret"},
                   {kNotAccessed, kConnecting, "Connection return code :  0", kInvoking}, 0},
        ServerCase{"RepeatedOptionsKeepTheLastValue", "\\\\secure\\deploy\\pkg",
                   {"-user=nobody", "-password=wrong", "-user=admin", "-password=secret"},
                   {kNotAccessed, kConnecting, "Connection return code :  0", kInvoking}, 0},
        ServerCase{"WrongPassword", "\\\\secure\\deploy\\pkg", {"-user=admin", "-password=wrong"},
                   {kNotAccessed, kConnecting, "Connection return code :  1326", kConnectionFailed}, 255},
        ServerCase{"NoUserName", "\\\\secure\\deploy\\pkg", {"-password=secret"},
                   {kNotAccessed, "Server Location could not be connected. No username specified. Exiting..."}, 255},
        ServerCase{"EmptyPasswordPassedAsSuch", "\\\\blank\\deploy\\pkg", {"-user=admin"},
                   {kNotAccessed, kConnecting, "Connection return code :  0", kInvoking}, 0},
        ServerCase{"UnknownServer", "\\\\nowhere\\deploy\\pkg", {"-user=admin", "-password=secret"},
                   {kNotAccessed, kConnecting, "Connection return code :  53", kConnectionFailed}, 255},
        ServerCase{"UnknownShare", "\\\\secure\\other\\pkg", {"-user=admin", "-password=secret"},
                   {kNotAccessed, kConnecting, "Connection return code :  67", kConnectionFailed}, 255},
        ServerCase{"NoSetupProgramOnTheShare", "\\\\secure\\deploy\\empty", {"-user=admin", "-password=secret"},
                   {kNotAccessed, kConnecting, "Connection return code :  0",
                    "Installer not found on specified server path."},
                   255}),
    ombrix_test::case_name<ServerCase>);

TEST_F(ServerLauncher, TheConnectionLastsForALaterRun) {
  EXPECT_TRUE(
      ombrix_test::ended_with(p_.run({"-server=\\\\secure\\deploy\\pkg", "-user=admin", "-password=secret"}), 0));
  fs::remove(p_.box().log_path());
  EXPECT_TRUE(ombrix_test::ended_with(p_.run({"-server=\\\\secure\\deploy\\pkg"}), 0));
  EXPECT_EQ(p_.launcher_lines(), (Lines{kServerGiven, kInvoking}));
}

// --- the installation-image clean-up -----------------------------------------------

const char* const kImageEntries[] = {"payloads", "extensions", "resources", "redist"};
const char* const kImageFiles[] = {"WinBootstrapper.msi", "WinBootstrapper1.cab"};

// An installer folder with the whole image and two entries of its own.
void lay_out_image(const std::string& folder) {
  for (const char* entry : kImageEntries) {
    fs::create_directories(folder + "/" + entry + "/sub");
    ombrix_test::write_file(folder + "/" + entry + "/sub/data.bin", "x");
  }
  for (const char* file : kImageFiles) ombrix_test::write_file(folder + "/" + file, "x");
  ombrix_test::write_file(folder + "/keep.txt", "x");
  fs::create_directories(folder + "/other");
}

Lines cleanup_lines(const Lines& exit_lines) {
  Lines lines{kFromDescription, kInvoking, kCleanUp};
  for (const auto& line : exit_lines) {
    lines.push_back(kDeleting);
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> entries_of(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(Launcher, CleanUpRemovesTheSevenEntriesAndKeepsTheRest) {
  const std::string kit = p_.box().package() + "/kit";
  p_.describe({"kit", false, true});
  p_.place_setup(kit);
  lay_out_image(kit);
  EXPECT_TRUE(ombrix_test::ended_with(p_.run({}), 0));
  EXPECT_EQ(p_.launcher_lines(), cleanup_lines(Lines(7, "Delete process exit code :  0")));
  EXPECT_EQ(entries_of(kit), (std::vector<std::string>{"keep.txt", "other"}));
  for (const auto& line : p_.box().log_lines()) {
    EXPECT_EQ(line.find("kit"), std::string::npos) << line;
    EXPECT_EQ(line.find("cmd"), std::string::npos) << line;
  }
}

TEST_F(Launcher, CleanUpOfMissingEntriesLogsTheInterpretersCodesAndSucceeds) {
  p_.describe({"kit", false, true});
  p_.place_setup(p_.box().package() + "/kit");
  EXPECT_TRUE(ombrix_test::ended_with(p_.run({}), 0));
  const std::string failed = "Could not complete the delete command";
  const std::string rd_missing = "Delete process exit code :  2";
  const std::string del_ends = "Delete process exit code :  0";
  Lines expected{kFromDescription, kInvoking, kCleanUp};
  for (const auto& tail : {Lines{rd_missing, failed}, Lines{rd_missing, failed}, Lines{rd_missing, failed},
                           Lines{rd_missing, failed}, Lines{del_ends}, Lines{del_ends}, Lines{del_ends}}) {
    expected.push_back(kDeleting);
    expected.insert(expected.end(), tail.begin(), tail.end());
  }
  EXPECT_EQ(p_.launcher_lines(), expected);
  EXPECT_TRUE(has_line(p_.box().log_lines(), "Install - Installation successfull"));
}

// With an empty installer location the targets hold a doubled backslash; the
// setup program is shown and the clean-up commands are hidden.
TEST_F(Launcher, CleanUpCommandsAreHiddenAndNameTheirTargetsInQuotes) {
  p_.describe({"", false, true});
  p_.place_setup(p_.box().package());
  lay_out_image(p_.box().package());
  EXPECT_TRUE(ombrix_test::ended_with(p_.run({}), 0));
  const std::string trace = ombrix_test::read_file(p_.box().trace_path());
  const std::string folder = package_windows() + "\\";
  EXPECT_NE(trace.find("process started: show=SW_SHOWNORMAL command line=\"" + folder + "\\Setup.exe\" --mode=Silent"),
            std::string::npos)
      << trace;
  for (const std::string& command : {"rd /Q /S \"" + folder + "\\payloads\"", "rd /Q /S \"" + folder + "\\redist\"",
                                    "del \"" + folder + "\\setup.exe\"", "del \"" + folder + "\\WinBootstrapper1.cab\""}) {
    EXPECT_NE(trace.find("process started: show=SW_HIDE command line=cmd /C " + command + "\n"), std::string::npos)
        << command;
  }
  EXPECT_EQ(entries_of(p_.box().package()),
            (std::vector<std::string>{"OmbrixZoltInstaller.xml", "ZoltInstaller", "keep.txt", "other"}));
}

TEST_F(Launcher, NoCleanUpAfterANonZeroExitCode) {
  const std::string kit = p_.box().package() + "/kit";
  p_.describe({"kit", false, true});
  p_.place_setup(kit);
  lay_out_image(kit);
  EXPECT_EQ(p_.run({}, "3").exit_status, 3);
  EXPECT_EQ(p_.launcher_lines(), (Lines{kFromDescription, kInvoking}));
  EXPECT_EQ(entries_of(kit).size(), 9u);
}

TEST_F(ServerLauncher, NoCleanUpOfANetworkInstallerFolder) {
  p_.describe({"kit", false, true});
  lay_out_image(p_.box().root() + "/open/pkg");
  EXPECT_TRUE(ombrix_test::ended_with(p_.run({"-server=\\\\fileserver\\deploy\\pkg"}), 0));
  EXPECT_EQ(p_.launcher_lines(),
            (Lines{kServerGiven, kInvoking, kCleanUp,
                   "Installer path seems to be on network, not proceeding to delete the installer"}));
  EXPECT_EQ(entries_of(p_.box().root() + "/open/pkg").size(), 9u);
}

TEST_F(Launcher, CleanUpCommandsThatCannotStartLeaveTheResultAtZero) {
  fs::create_directories(p_.box().root() + "/no-cmd");
  p_.box().write_profile("system = " + p_.box().root() + "/no-cmd\n");
  p_.describe({"kit", false, true});
  p_.place_setup(p_.box().package() + "/kit");
  EXPECT_TRUE(ombrix_test::ended_with(p_.run({}), 0));
  EXPECT_EQ(p_.launcher_lines(), cleanup_lines(Lines(7, "New process creation for deletion failed")));
}

}  // namespace

// The setup launcher: finds the setup program beside the description's
// installer location or on the "-server=" share, starts it with the generated
// files, waits for it, and on request deletes the installation image.
#include "setup_launcher.h"

#include <vector>

#include "log_file.h"
#include "system_string.h"

namespace {

const char kComponent[] = "ZoltApp";
const char kTag[] = "SetupLauncher";

// The installation-image clean-up, in the order the commands run. Each command
// is its prefix, a quote, the installer folder, its target and a quote.
struct CleanupCommand {
  const WCHAR* prefix;
  const WCHAR* target;
};

const CleanupCommand kCleanupCommands[] = {
    {TEXT("cmd /C rd /Q /S "), TEXT("\\payloads")},
    {TEXT("cmd /C rd /Q /S "), TEXT("\\extensions")},
    {TEXT("cmd /C rd /Q /S "), TEXT("\\resources")},
    {TEXT("cmd /C rd /Q /S "), TEXT("\\redist")},
    {TEXT("cmd /C del "), TEXT("\\setup.exe")},
    {TEXT("cmd /C del "), TEXT("\\WinBootstrapper.msi")},
    {TEXT("cmd /C del "), TEXT("\\WinBootstrapper1.cab")},
};

// Where the setup program was found.
struct SetupLocation {
  WString installerFolder;
  WString setupPath;
};

STARTUPINFOW MakeStartupInfo(WORD showWindow) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = showWindow;
  return startup;
}

// Starts a command line, waits for it without limit and takes its exit code;
// false when it did not start. The wait and the exit-code query are not
// tested: a failed query leaves the code at -1, a failure.
bool StartAndWait(const WString& commandLine, WORD showWindow, DWORD& exitCode) {
  STARTUPINFOW startup = MakeStartupInfo(showWindow);
  PROCESS_INFORMATION process = {};
  BOOL started = FALSE;
  {
    SystemString writableCopy(commandLine);
    started = CreateProcessW(/*lpApplicationName=*/nullptr, writableCopy.get(), /*lpProcessAttributes=*/nullptr,
                             /*lpThreadAttributes=*/nullptr, /*bInheritHandles=*/FALSE, /*dwCreationFlags=*/0,
                             /*lpEnvironment=*/nullptr, /*lpCurrentDirectory=*/nullptr, &startup, &process);
  }
  if (!started) return false;
  exitCode = static_cast<DWORD>(-1);
  WaitForSingleObject(process.hProcess, INFINITE);
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return true;
}

bool GeneratedFilesExist(LogFile& log, const InstallerSettings& settings) {
  if (!FileExists(settings.deploymentFile)) {
    log.Write(kComponent, kTag, "Oeployment file does not exist. Exiting");
    return false;
  }
  if (!kRemovalBuild && !FileExists(settings.overrideFile)) {
    log.Write(kComponent, kTag, "Override file does not exist. Exiting");
    return false;
  }
  return true;
}

// Connects the server value's share with the user name and password as given,
// an empty password included; the connection's result.
DWORD ConnectServer(const ServerCredentials& credentials) {
  SystemString remoteName(credentials.server);
  NETRESOURCEW resource = {};
  resource.dwType = RESOURCETYPE_DISK;
  resource.lpLocalName = nullptr;
  resource.lpRemoteName = remoteName.get();
  resource.lpProvider = nullptr;
  return WNetAddConnection2W(&resource, credentials.password.c_str(), credentials.user.c_str(), /*dwFlags=*/0);
}

// Makes the server folder reachable, connecting it when it is not at once.
bool ReachServer(LogFile& log, const ServerCredentials& credentials) {
  if (FileExists(credentials.server)) return true;
  log.Write(kComponent, kTag, "Server Location could not be accessed.");
  if (credentials.user.empty()) {
    log.Write(kComponent, kTag, "Server Location could not be connected. No username specified. Exiting...");
    return false;
  }
  log.Write(kComponent, kTag, "Trying to connect the server using username and password");
  const DWORD result = ConnectServer(credentials);
  log.WriteNumber(kComponent, kTag, "Connection return code : ", static_cast<int>(result));
  if (result != 0) {
    log.Write(kComponent, kTag, "Connection to server unsuccessful. Exiting...");
    return false;
  }
  return true;
}

bool FindServerSetup(LogFile& log, const ServerCredentials& credentials, SetupLocation& location) {
  log.Write(kComponent, kTag, "Server Location given on command line. Trying to access the server location");
  if (!ReachServer(log, credentials)) return false;
  location = {credentials.server, credentials.server + kSetupFileName};
  if (!FileExists(location.setupPath)) {
    log.Write(kComponent, kTag, "Installer not found on specified server path.");
    return false;
  }
  return true;
}

// The installer location taken relative to the program folder, else as it stands.
bool FindLocalSetup(LogFile& log, const WString& installerLocation, SetupLocation& location) {
  log.Write(kComponent, kTag, "Invoking installer from the path specified in the input xml file");
  const WString besideProgram = ProgramFolder() + TEXT("\\") + installerLocation;
  location = {besideProgram, besideProgram + kSetupFileName};
  if (FileExists(location.setupPath)) return true;
  location = {installerLocation, installerLocation + kSetupFileName};
  if (FileExists(location.setupPath)) return true;
  log.Write(kComponent, kTag, "Installer does not exist in the specified path.");
  return false;
}

// The setup path in quotes, so that a folder with blanks cannot be taken for a
// shorter program path, then the switches.
WString SetupCommandLine(const WString& setupPath, const InstallerSettings& settings) {
  WString line = TEXT("\"") + setupPath + TEXT("\"");
  line += TEXT(" --mode=Silent --deploymentFile=\"") + settings.deploymentFile + TEXT("\"");
  if (!kRemovalBuild) line += TEXT(" --overrideFile=\"") + settings.overrideFile + TEXT("\"");
  if (settings.skipProcessCheck) line += TEXT(" --skipProcessCheck=1");
  return line;
}

void RunCleanupCommand(LogFile& log, const WString& command) {
  log.Write(kComponent, kTag, "Invoking delete command");
  DWORD exitCode = 0;
  if (!StartAndWait(command, SW_HIDE, exitCode)) {
    log.Write(kComponent, kTag, "New process creation for deletion failed");
    return;
  }
  log.WriteNumber(kComponent, kTag, "Delete process exit code : ", static_cast<int>(exitCode));
  if (exitCode != 0) log.Write(kComponent, kTag, "Could not complete the delete command");
}

void DeleteInstallationImage(LogFile& log, const WString& installerFolder) {
  log.Write(kComponent, kTag, "Installation successful. Proceeding to delete the installer");
  if (installerFolder.compare(0, 2, TEXT("\\\\")) == 0) {
    log.Write(kComponent, kTag, "Installer path seems to be on network, not proceeding to delete the installer");
    return;
  }
  std::vector<WString> commands;  // all built before the first one runs
  for (const CleanupCommand& entry : kCleanupCommands) {
    commands.push_back(entry.prefix + WString(TEXT("\"")) + installerFolder + entry.target + TEXT("\""));
  }
  for (const WString& command : commands) RunCleanupCommand(log, command);
}

}  // namespace

int SetupLauncher::Launch() {
  LogFile& log = LogOrDiscard(GetLog());
  if (!GeneratedFilesExist(log, *settings)) return -1;
  SetupLocation location;
  const bool found = settings->credentials.server.empty()
                         ? FindLocalSetup(log, settings->installerLocation, location)
                         : FindServerSetup(log, settings->credentials, location);
  if (!found) return -1;
  const WString commandLine = SetupCommandLine(location.setupPath, *settings);
  log.Write(kComponent, kTag, "Invoking installer setup.exe");
  DWORD exitCode = 0;
  if (!StartAndWait(commandLine, SW_SHOWNORMAL, exitCode)) return -1;
  const int result = static_cast<int>(exitCode);
  if (settings->deleteInstallationImage && result == 0) DeleteInstallationImage(log, location.installerFolder);
  return result;
}

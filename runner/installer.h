// The runner's shared header: the run record, the option and file-name constants,
// and the helpers that the entry body, the reader and the launcher share.
#ifndef OMBRIX_RUNNER_INSTALLER_H
#define OMBRIX_RUNNER_INSTALLER_H

#include <build_variant.h>

#include "win32.h"

// The three values of the command line.
struct ServerCredentials {
  WString user;      // "-user="
  WString password;  // "-password="; kept in memory only, never written anywhere
  WString server;    // "-server="; when not empty it begins with two backslashes
};

// The run record: owned by the entry body for the whole run, filled by the
// description reader, read by the setup launcher.
struct InstallerSettings {
  WString deploymentFile;
  WString overrideFile;
  WString installerLocation;
  ServerCredentials credentials;
  bool skipProcessCheck = false;
  bool deleteInstallationImage = false;
};

const WString kNoDeleteOption = TEXT("-nodelete");
const WString kVersionOption = TEXT("-version");
const WString kUserOption = TEXT("-user=");
const WString kPasswordOption = TEXT("-password=");
const WString kServerOption = TEXT("-server=");

// File-name constants in their table order; kDescriptionFileName comes from the
// build variant.
const WString kSetupFileName = TEXT("\\Setup.exe");
const WString kWindowsName = TEXT("Windows");
const WString kDeploymentFileName = TEXT("\\deployment.xml");
const WString kOverrideFileName = TEXT("\\application.xml.override");

// Set by "-nodelete": the generated files are kept.
extern bool noDelete;

// The description file beside the running program: its folder, "\", the name.
void GetDescriptionFilePath(WString& path);
// True when the path names an existing file or folder.
bool FileExists(const WString& path);
// True when the file was deleted.
bool DeleteFileAt(const WString& path);
// "Version: " and the project's four version numbers (1.0.0.38), then a line
// feed, on standard output.
void PrintVersion();
// The folder of the running program file, without its trailing backslash.
WString ProgramFolder();

#endif

// The runner's entry body: options, log, description, reading, launch, clean-up.
#include "installer.h"
#include "log_file.h"
#include "setup_launcher.h"
#include "xml_description_reader.h"

namespace {

const char kComponent[] = "ZoltApp";

enum class OptionsResult { kRun, kVersionShown, kBadServer };

bool StartsWith(const WString& text, const WString& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

// Examines every argument, the program name included; the first rule that fits
// applies. "-version" and a "-server=" value without two leading backslashes
// end the examination.
OptionsResult ReadOptions(ServerCredentials& credentials) {
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (args == nullptr) return OptionsResult::kRun;
  OptionsResult result = OptionsResult::kRun;
  for (int i = 0; i < count && result == OptionsResult::kRun; ++i) {
    const WString arg = args[i];
    if (arg == kNoDeleteOption) {
      noDelete = true;
    } else if (arg == kVersionOption) {
      PrintVersion();
      result = OptionsResult::kVersionShown;
    } else if (StartsWith(arg, kUserOption)) {
      credentials.user = arg.substr(kUserOption.size());
    } else if (StartsWith(arg, kPasswordOption)) {
      credentials.password = arg.substr(kPasswordOption.size());
    } else if (StartsWith(arg, kServerOption)) {
      credentials.server = arg.substr(kServerOption.size());
      if (credentials.server.compare(0, 2, TEXT("\\\\")) != 0) result = OptionsResult::kBadServer;
    }
  }
  LocalFree(args);
  return result;
}

// Reads the description and, when that succeeded, runs the setup program.
int ReadAndLaunch(LogFile& log, InstallerSettings& settings, XmlDescriptionReader& reader,
                  const WString& descriptionPath) {
  const int read = reader.Process(descriptionPath);
  if (read != 0) {
    log.Write(kComponent, "Error", "XML parsing failed");
    return read;
  }
  log.Write(kComponent, "XML", "XML parsing successful");
  log.Write(kComponent, kRunTag, kProceedingText);
  SetupLauncher launcher(&settings);
  const int launched = launcher.Launch();
  if (launched == 0) {
    log.Write(kComponent, kRunTag, kRunSucceededText);
  } else {
    log.Write(kComponent, "Error", "Installation failed");
  }
  return launched;
}

void DeleteGeneratedFiles(LogFile& log, const InstallerSettings& settings) {
  if (DeleteFileAt(settings.deploymentFile)) {
    log.Write(kComponent, "CleanUp", "Deleted deployment file");
  } else {
    log.Write(kComponent, "Error", "Unable to deleted deployment file");
  }
  if (kRemovalBuild) return;  // the removal build has no override file
  if (DeleteFileAt(settings.overrideFile)) {
    log.Write(kComponent, "CleanUp", "Deleted override file");
  } else {
    log.Write(kComponent, "Error", "Unable to deleted override file");
  }
}

int RunWithDescription(LogFile& log, InstallerSettings& settings, const WString& descriptionPath) {
  XmlDescriptionReader reader(&settings);
  log.Write(kComponent, "main", kDescriptionFoundText);
  log.Write(kComponent, "XML", "Processing xml file");
  const int result = ReadAndLaunch(log, settings, reader, descriptionPath);
  if (!noDelete) DeleteGeneratedFiles(log, settings);
  return result;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  InstallerSettings settings;
  switch (ReadOptions(settings.credentials)) {
    case OptionsResult::kVersionShown: return 0;
    case OptionsResult::kBadServer: return -1;
    case OptionsResult::kRun: break;
  }

  LogFile& log = LogOrDiscard(GetLog());
  log.Write(kComponent, "main", kStartSessionText);
  log.Write(kComponent, "main", kLookingForDescriptionText);
  WString descriptionPath;
  GetDescriptionFilePath(descriptionPath);

  int result = -1;
  if (FileExists(descriptionPath)) {
    result = RunWithDescription(log, settings, descriptionPath);
  } else {
    log.Write(kComponent, "Error", kDescriptionMissingText);
  }
  log.WriteNumber(kComponent, "main", "Exit Code:", result);
  log.Write(kComponent, "main", "Terminating application \n\n");
  CloseLog();
  return result;
}

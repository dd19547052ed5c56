// The setup launcher: finds and starts the package's setup program, waits for
// it, and deletes the installation image on request.
#ifndef OMBRIX_RUNNER_SETUP_LAUNCHER_H
#define OMBRIX_RUNNER_SETUP_LAUNCHER_H

#include "installer.h"

class SetupLauncher {
 public:
  explicit SetupLauncher(InstallerSettings* settings) : settings(settings) {}
  ~SetupLauncher() = default;
  SetupLauncher(const SetupLauncher&) = delete;
  SetupLauncher& operator=(const SetupLauncher&) = delete;

  // The setup program's exit code, or -1 when it could not be found or started.
  int Launch();

 private:
  InstallerSettings* settings;
};

#endif

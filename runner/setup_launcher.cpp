// The setup launcher. Until it is built, no setup program is started.
#include "setup_launcher.h"

int SetupLauncher::Launch() { return -1; }

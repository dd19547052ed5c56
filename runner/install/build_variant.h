// What the install build of the runner has of its own.
#ifndef OMBRIX_RUNNER_BUILD_VARIANT_H
#define OMBRIX_RUNNER_BUILD_VARIANT_H

#include "win32.h"

constexpr bool kRemovalBuild = false;
const WString kDescriptionFileName = TEXT("OmbrixZoltInstaller.xml");

#endif

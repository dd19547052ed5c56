// What the install build of the runner has of its own.
#ifndef OMBRIX_RUNNER_BUILD_VARIANT_H
#define OMBRIX_RUNNER_BUILD_VARIANT_H

#include "win32.h"

constexpr bool kRemovalBuild = false;
const WString kDescriptionFileName = TEXT("OmbrixZoltInstaller.xml");

// The entry body's texts of this build.
constexpr char kStartSessionText[] = "START SESSION: OmbrixZoltInstaller";
constexpr char kLookingForDescriptionText[] = "Looking for OmbrixZoltInstaller.xml file";
constexpr char kDescriptionMissingText[] = "Unable to found OmbrixZoltInstaller.xml file";
constexpr char kDescriptionFoundText[] = "Found OmbrixZoltInstaller.xml file";
constexpr char kRunTag[] = "Install";
constexpr char kProceedingText[] = "Proceeding to install application(s)";
constexpr char kRunSucceededText[] = "Installation successfull";

#endif

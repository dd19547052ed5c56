// What the removal build of the runner has of its own.
#ifndef OMBRIX_RUNNER_BUILD_VARIANT_H
#define OMBRIX_RUNNER_BUILD_VARIANT_H

#include "win32.h"

constexpr bool kRemovalBuild = true;
const WString kDescriptionFileName = TEXT("OmbrixZoltUninstaller.xml");

// The entry body's texts of this build; its failure line is the install
// build's "Installation failed".
constexpr char kStartSessionText[] = "START SESSION: OmbrixZoltUninstaller";
constexpr char kLookingForDescriptionText[] = "Looking for OmbrixZoltUninstaller.xml file";
constexpr char kDescriptionMissingText[] = "Unable to found OmbrixZoltUninstaller.xml file";
constexpr char kDescriptionFoundText[] = "Found OmbrixZoltUninstaller.xml file";
constexpr char kRunTag[] = "Uninstall";
constexpr char kProceedingText[] = "Proceeding to uninstall application(s)";
constexpr char kRunSucceededText[] = "Uninstallation successfull";

#endif

// The run record as the description reader fills it, which no output of the
// program shows until the setup launcher reads it: the two flags, the paths of
// the generated files, and what stays as it was when a later step fails. The
// reader runs in this process on one machine, a 64-bit one.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "case_name.h"
#include "description.h"
#include "installer.h"
#include "process_machine.h"
#include "sandbox.h"
#include "windows_path.h"
#include "xml_description_reader.h"

namespace {

using ::operator<<;  // cases print by their label
using ombrix_test::Description;
using ombrix_test::EmptyDeployment;
using ombrix_test::Info;
using ombrix_test::WindowsPath;

// The machine for the whole process, as the layer reads its profile once; the
// process's temporary folder lies there too.
const ombrix_test::ProcessMachine machine("reader-record", [](const std::string& root) {
  ombrix_test::make_folder(root + "/tmp");
  ::setenv("TMP", (root + "/tmp").c_str(), 1);
  return "[system]\nwow64 = true\n[drives]\nC = " + root + "/c\n";
});

std::string Temp() { return machine.root + "/tmp"; }

// Values that no step writes, to tell a field written from one left alone.
const WString kUntouched = u"untouched";

class Record : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"deployment.xml", "application.xml.override"}) {
      std::filesystem::remove_all(Temp() + "/" + name);
    }
    settings_.deploymentFile = settings_.overrideFile = settings_.installerLocation = kUntouched;
    settings_.skipProcessCheck = settings_.deleteInstallationImage = true;
  }
  // Reads the description from a file in the folder below the machine's root.
  int read(const std::string& description, const std::string& folder = "") {
    ombrix_test::make_folder(machine.root + "/" + folder);
    const std::string path = machine.root + "/" + folder + "/OmbrixZoltInstaller.xml";
    ombrix_test::write_file(path, description);
    XmlDescriptionReader reader(&settings_);
    return reader.Process(WindowsPath(path));
  }
  InstallerSettings settings_;
};

// The temporary folder as GetTempPathW gives it, with its trailing backslash.
WString TempFolder() { return WindowsPath(Temp()) + u"\\"; }

struct FlagCase {
  const char* label;
  std::string attributes;
  bool skipProcessCheck;
  bool deleteInstallationImage;
};

class Flags : public Record, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(Flags, AreSetOnlyByTrueInAnyCase) {
  Description d;
  d.infos = Info("x64", EmptyDeployment("x64"), GetParam().attributes);
  ASSERT_EQ(read(d.text()), 0);
  EXPECT_EQ(settings_.skipProcessCheck, GetParam().skipProcessCheck);
  EXPECT_EQ(settings_.deleteInstallationImage, GetParam().deleteInstallationImage);
}

INSTANTIATE_TEST_SUITE_P(
    Values, Flags,
    ::testing::Values(FlagCase{"True", " ignoreProcesses=\"true\" deleteInstallationImage=\"true\"", true, true},
                      FlagCase{"Capitals", " ignoreProcesses=\"TRUE\" deleteInstallationImage=\"tRuE\"", true, true},
                      FlagCase{"OneAndYes", " ignoreProcesses=\"1\" deleteInstallationImage=\"yes\"", false, false},
                      FlagCase{"Missing", "", false, false},
                      FlagCase{"Empty", " ignoreProcesses=\"\" deleteInstallationImage=\"\"", false, false},
                      FlagCase{"Blanks", " ignoreProcesses=\" true\" deleteInstallationImage=\"true \"", false, false},
                      FlagCase{"OnlyIgnoreProcesses", " ignoreProcesses=\"True\"", true, false},
                      FlagCase{"OnlyDeleteInstallationImage", " deleteInstallationImage=\"True\"", false, true}),
    ombrix_test::case_name<FlagCase>);

TEST_F(Record, BothFlagsComeFromTheFirstOfTwoFittingEntries) {
  Description d;
  d.infos = Info("x64", EmptyDeployment("a"), " ignoreProcesses=\"false\" deleteInstallationImage=\"true\"") +
            Info("x64", EmptyDeployment("b"), " ignoreProcesses=\"true\" deleteInstallationImage=\"false\"");
  ASSERT_EQ(read(d.text()), 0);
  EXPECT_FALSE(settings_.skipProcessCheck);
  EXPECT_TRUE(settings_.deleteInstallationImage);
}

TEST_F(Record, BothPathsHoldTwoBackslashesBeforeTheFileName) {
  ASSERT_EQ(read(Description().text()), 0);
  EXPECT_EQ(settings_.deploymentFile, TempFolder() + u"\\deployment.xml");
  EXPECT_EQ(settings_.overrideFile, TempFolder() + u"\\application.xml.override");
  EXPECT_NE(settings_.deploymentFile.find(u"tmp\\\\deployment.xml"), WString::npos);
}

TEST_F(Record, ADescriptionInAFolderWithANonAsciiNameIsRead) {
  ASSERT_EQ(read(Description().text(), "D\u00e9p\u00f4t \u041f\u0430\u043a\u0435\u0442"), 0);
  EXPECT_EQ(settings_.deploymentFile, TempFolder() + u"\\deployment.xml");
}

TEST_F(Record, TheInstallerLocationIsTheTextOfTheFirstElementAsWritten) {
  Description d;
  d.location = "<Extra><InstallerLocation> \\\\srv\\<!-- not text -->share <b>x</b>\n</InstallerLocation></Extra>"
               "<InstallerLocation>second</InstallerLocation>";
  ASSERT_EQ(read(d.text()), 0);
  EXPECT_EQ(settings_.installerLocation, u" \\\\srv\\share x\n");
}

// Which fields a reading that ends at some step has written.
struct StepCase {
  const char* label;
  void (*change)(Description&);
  const char* blocked;  // a folder stands where this generated file goes, or null
  int result;
  bool location;
  bool flags;
  bool deployment;
  bool override_file;
};

class FieldsByStep : public Record, public ::testing::WithParamInterface<StepCase> {};

TEST_P(FieldsByStep, AreWrittenAtTheirStepAndKeptAfterALaterFailure) {
  const StepCase& c = GetParam();
  if (c.blocked != nullptr) ombrix_test::make_folder(Temp() + "/" + c.blocked);
  Description d;
  c.change(d);
  EXPECT_EQ(read(d.text()), c.result);
  EXPECT_EQ(settings_.installerLocation, c.location ? u"..\\Image" : kUntouched);
  EXPECT_EQ(settings_.skipProcessCheck, !c.flags);  // the description says false, the record held true
  EXPECT_EQ(settings_.deleteInstallationImage, !c.flags);
  EXPECT_EQ(settings_.deploymentFile, c.deployment ? TempFolder() + u"\\deployment.xml" : kUntouched);
  EXPECT_EQ(settings_.overrideFile, c.override_file ? TempFolder() + u"\\application.xml.override" : kUntouched);
}

void Keep(Description&) {}

INSTANTIATE_TEST_SUITE_P(
    Steps, FieldsByStep,
    ::testing::Values(
        StepCase{"NotWellFormed", [](Description& d) { d.overrides += "<"; }, nullptr, -1, false, false, false, false},
        StepCase{"WrongTargetOs", [](Description& d) { d.target = "<TargetOS>DOS</TargetOS>"; }, nullptr, -1, true,
                 false, false, false},
        StepCase{"NoEntryForThisMachine", [](Description& d) { d.infos = Info("All", EmptyDeployment("a")); }, nullptr,
                 -1, true, false, false, false},
        StepCase{"NoDeploymentInTheEntry", [](Description& d) { d.infos = Info("x64", "<Other/>"); }, nullptr, -1,
                 true, true, false, false},
        StepCase{"DeploymentFileCannotBeCreated", Keep, "deployment.xml", -1, true, true, true, false},
        StepCase{"NoOverrides", [](Description& d) { d.overrides.clear(); }, nullptr, -1, true, true, true, false},
        StepCase{"OverrideFileCannotBeCreated", Keep, "application.xml.override", -1, true, true, true, true},
        StepCase{"Success", Keep, nullptr, 0, true, true, true, true}),
    ombrix_test::case_name<StepCase>);

}  // namespace

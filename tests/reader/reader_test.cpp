// The description reader, run as a user runs the install runner: a description
// beside the program, a machine profile per test, the log lines the reading
// writes, and the generated files in the temporary folder byte for byte.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "case_name.h"

#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "description.h"
#include "sandbox.h"
#include "windows_path.h"

namespace {

using ombrix_test::Description;
using ombrix_test::EmptyDeployment;
using ombrix_test::Info;
using ombrix_test::RunResult;
using ombrix_test::Sandbox;
using Lines = std::vector<std::string>;

const std::string kHeader = "<?xml version='1.0' encoding='utf-8'?>\n";

using ombrix_test::case_name;
using ::operator<<;  // cases print by their label

// The library's pretty-printed serialisation of an element: a line feed first,
// a blank line around the children of the top element.
std::string DeploymentWithProperty(const std::string& name, const std::string& text) {
  return kHeader + "\n<Deployment>\n\n  <Properties>\n    <Property name=\"" + name + "\">" + text +
         "</Property>\n  </Properties>\n\n</Deployment>";
}

struct Machine {
  bool wow64 = true;
  std::string program_files = "C:\\Program Files (x86)";
  std::string windows = "C:\\Windows";
  std::string system_keys;  // more [system] keys
  std::string sections;     // more sections after [drives]
};

const Lines kReadingSucceeded{"XML - XML parsing successful"};

class Reader : public ::testing::Test {
 protected:
  // Runs the program on the description under the machine; "-nodelete" keeps
  // the generated files for the test.
  RunResult run(const std::string& description, const Machine& machine = {},
                const std::vector<std::string>& args = {"-nodelete"}, const char* program = "ZoltInstaller") {
    box_.write_profile("wow64 = " + std::string(machine.wow64 ? "true" : "false") +
                       "\nprogram_files = " + machine.program_files + "\nwindows = " + machine.windows + "\n" +
                       machine.system_keys + "[drives]\nC = " + box_.root() + "/c\nD = " + box_.root() + "/d\n" +
                       machine.sections);
    const std::string session = program == std::string("ZoltInstaller") ? "OmbrixZoltInstaller" : "OmbrixZoltUninstaller";
    ombrix_test::write_file(box_.package() + "/" + session + ".xml", description);
    const RunResult r = box_.run(box_.copy_program(program, box_.package()), args, {}, 60);
    EXPECT_FALSE(r.timed_out);
    EXPECT_EQ(r.signal, 0);
    return r;
  }

  // The lines between "Processing xml file" and the entry body's verdict on the
  // reading, that verdict included.
  Lines reader_lines() const {
    const Lines lines = box_.log_lines();
    Lines out;
    bool inside = false;
    for (const auto& line : lines) {
      if (inside) out.push_back(line);
      if (line == "XML - Processing xml file") inside = true;
      if (inside && (line == "XML - XML parsing successful" || line == "Error - XML parsing failed")) break;
    }
    return out;
  }

  // The whole log of a failed reading run with "-nodelete".
  static Lines FailedRun(const Lines& reader) {
    Lines lines{"main - START SESSION: OmbrixZoltInstaller", "main - Looking for OmbrixZoltInstaller.xml file",
                "main - Found OmbrixZoltInstaller.xml file", "XML - Processing xml file"};
    lines.insert(lines.end(), reader.begin(), reader.end());
    lines.insert(lines.end(), {"Error - XML parsing failed", "main - Exit Code: -1", "main - Terminating application ",
                               "", ""});
    return lines;
  }

  std::string generated(const std::string& name) const { return ombrix_test::read_file(box_.temp() + "/" + name); }
  bool generated_exists(const std::string& name) const { return ombrix_test::file_exists(box_.temp() + "/" + name); }

  Sandbox box_;
};

Lines Then(Lines first, const Lines& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

const Lines k64{"XML - Correct target OS detected", "XML - 64 bit machine found"};
const Lines k32{"XML - Correct target OS detected", "XML - 32 bit machine found"};
const Lines kBothWritten{"XML - Created deployment.xml file", "XML - Created application.xml.override file"};

// ---- The choice of the DeploymentInfo element ----

struct ChoiceCase {
  const char* label;
  Machine machine;
  std::vector<std::pair<std::string, std::string>> infos;  // processorFamily, id of its Deployment
  std::string chosen;                                       // empty: none is taken
};

class Choice : public Reader, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(Choice, TakesTheFirstElementForThisMachine) {
  Description d;
  d.infos.clear();
  for (const auto& [family, id] : GetParam().infos) d.infos += Info(family, EmptyDeployment(id));
  const RunResult r = run(d.text(), GetParam().machine);
  const Lines& machine = GetParam().machine.wow64 && GetParam().machine.system_keys.empty() ? k64 : k32;
  if (GetParam().chosen.empty()) {
    EXPECT_EQ(r.exit_status, 255);
    EXPECT_EQ(box_.log_lines(), FailedRun(Then(machine, {"XML - Unable to create deployment.xml file"})));
    EXPECT_FALSE(generated_exists("deployment.xml"));
  } else {
    EXPECT_EQ(reader_lines(), Then(Then(machine, kBothWritten), kReadingSucceeded));
    EXPECT_EQ(generated("deployment.xml"), kHeader + "\n" + EmptyDeployment(GetParam().chosen));
  }
}

const Machine k64Machine{};
const Machine k32Machine{false, "C:\\Program Files (x86)", "C:\\Windows", ""};
const Machine kOld32Machine{true, "C:\\Program Files (x86)", "C:\\Windows", "iswow64process = false\n"};

INSTANTIATE_TEST_SUITE_P(
    Machines, Choice,
    ::testing::Values(ChoiceCase{"SixtyFourTakesX64", k64Machine, {{"All", "a"}, {"x64", "b"}}, "b"},
                      ChoiceCase{"SixtyFourNeverTakesAll", k64Machine, {{"All", "a"}}, ""},
                      ChoiceCase{"SixtyFourTakesX64InCapitals", k64Machine, {{"X64", "a"}}, "a"},
                      ChoiceCase{"SixtyFourTakesTheFirstOfTwo", k64Machine, {{"x64", "a"}, {"x64", "b"}}, "a"},
                      ChoiceCase{"SixtyFourKnowsNoOtherFamily", k64Machine, {{"ia64", "a"}, {"", "b"}}, ""},
                      ChoiceCase{"ThirtyTwoTakesAll", k32Machine, {{"x64", "a"}, {"All", "b"}}, "b"},
                      ChoiceCase{"ThirtyTwoTakesAllInCapitals", k32Machine, {{"ALL", "a"}}, "a"},
                      ChoiceCase{"ThirtyTwoTakesALoneX64", k32Machine, {{"x64", "a"}}, "a"},
                      ChoiceCase{"ThirtyTwoRefusesTwoX64", k32Machine, {{"x64", "a"}, {"x64", "b"}}, ""},
                      ChoiceCase{"WindowsWithoutIsWow64ProcessIs32Bit", kOld32Machine, {{"x64", "a"}, {"All", "b"}},
                                 "b"}),
    case_name<ChoiceCase>);

// ---- The target operating system ----

struct TargetCase {
  const char* label;
  std::string target;
  bool accepted;
};

class TargetOs : public Reader, public ::testing::WithParamInterface<TargetCase> {};

TEST_P(TargetOs, MustReadWindowsIgnoringCaseAndNothingElse) {
  Description d;
  d.target = GetParam().target;
  run(d.text());
  if (GetParam().accepted) {
    EXPECT_EQ(reader_lines(), Then(Then(k64, kBothWritten), kReadingSucceeded));
  } else {
    EXPECT_EQ(box_.log_lines(), FailedRun({"Error - Wrong target OS detected"}));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TargetOs,
    ::testing::Values(TargetCase{"SmallLetters", "<TargetOS>windows</TargetOS>", true},
                      TargetCase{"Capitals", "<TargetOS>WINDOWS</TargetOS>", true},
                      TargetCase{"MixedCase", "<TargetOS>wInDoWs</TargetOS>", true},
                      TargetCase{"CommentsAreNoText", "<TargetOS>Win<!-- ten -->dows</TargetOS>", true},
                      TargetCase{"BlankBefore", "<TargetOS> Windows</TargetOS>", false},
                      TargetCase{"LineFeedsAround", "<TargetOS>\nWindows\n</TargetOS>", false},
                      TargetCase{"AnotherSystem", "<TargetOS>Linux</TargetOS>", false},
                      TargetCase{"MoreWords", "<TargetOS>Windows 10</TargetOS>", false},
                      TargetCase{"Empty", "<TargetOS/>", false}),
    case_name<TargetCase>);

// ---- Missing parts of the format ----

struct MissingCase {
  const char* label;
  void (*change)(Description&);
  Lines reader;
  bool deployment_written;
};

class MissingPart : public Reader, public ::testing::WithParamInterface<MissingCase> {};

TEST_P(MissingPart, EndsTheReadingWithItsOwnLine) {
  Description d;
  GetParam().change(d);
  const RunResult r = run(d.text());
  EXPECT_EQ(r.exit_status, 255);
  EXPECT_EQ(box_.log_lines(), FailedRun(GetParam().reader));
  EXPECT_EQ(generated_exists("deployment.xml"), GetParam().deployment_written);
  EXPECT_FALSE(generated_exists("application.xml.override"));
}

INSTANTIATE_TEST_SUITE_P(
    Parts, MissingPart,
    ::testing::Values(
        MissingCase{"InstallerLocation", [](Description& d) { d.location.clear(); },
                    {"Error - Error in getting installer location"}, false},
        MissingCase{"TargetOS", [](Description& d) { d.target.clear(); }, {"Error - Error in getting TargetOS node"},
                    false},
        MissingCase{"DeploymentInfo", [](Description& d) { d.infos.clear(); },
                    Then(k64, {"Error - Error in getting deployment info node"}), false},
        // The first fitting entry is taken even though it has no Deployment.
        MissingCase{"DeploymentInTheChosenEntry",
                    [](Description& d) { d.infos = Info("x64", "<Other/>") + Info("x64", EmptyDeployment("b")); },
                    Then(k64, {"Error - Error in getting deployment node"}), false},
        MissingCase{"Overrides", [](Description& d) { d.overrides.clear(); },
                    Then(k64, {"XML - Created deployment.xml file", "Error - Error in getting Overrides node"}), true},
        MissingCase{"Configuration", [](Description& d) { d.overrides = "<Overrides><Other/></Overrides>"; },
                    Then(k64, {"XML - Created deployment.xml file", "Error - Error in getting configuration node"}),
                    true},
        // The first Overrides in document order counts, wherever it stands.
        MissingCase{"ConfigurationInTheFirstOverrides",
                    [](Description& d) { d.infos = Info("x64", EmptyDeployment("x64") + "<Overrides/>"); },
                    Then(k64, {"XML - Created deployment.xml file", "Error - Error in getting configuration node"}),
                    true},
        MissingCase{"OnlyTheDocumentElement",
                    [](Description& d) { d = Description{"", "", "", ""}; },
                    {"Error - Error in getting installer location"}, false}),
    case_name<MissingCase>);

TEST_F(Reader, WithoutNoDeleteTheEntryDeletesTheDeploymentFileOfAFailedReading) {
  Description d;
  d.overrides.clear();
  const RunResult r = run(d.text(), {}, {});
  EXPECT_EQ(r.exit_status, 255);
  const Lines tail{"Error - XML parsing failed", "CleanUp - Deleted deployment file",
                   "Error - Unable to deleted override file", "main - Exit Code: -1"};
  const Lines lines = box_.log_lines();
  const Lines expected_reader = Then(k64, {"XML - Created deployment.xml file", "Error - Error in getting Overrides node"});
  ASSERT_EQ(lines.size(), 4 + expected_reader.size() + tail.size() + 3);
  EXPECT_EQ(Lines(lines.begin() + 4, lines.begin() + 4 + expected_reader.size()), expected_reader);
  EXPECT_EQ(Lines(lines.end() - 3 - tail.size(), lines.end() - 3), tail);
  EXPECT_FALSE(generated_exists("deployment.xml"));
}

// ---- INSTALLDIR folder tokens ----

struct InstallDirCase {
  const char* label;
  Machine machine;
  std::string name;
  std::string text;
  std::string written;
};

class InstallDir : public Reader, public ::testing::WithParamInterface<InstallDirCase> {};

TEST_P(InstallDir, RewritesTheTokenAtTheStartOnly) {
  Description d;
  d.infos = Info("x64", "<Deployment><Properties><Property name=\"" + GetParam().name + "\">" + GetParam().text +
                            "</Property></Properties></Deployment>");
  // A lone "x64" entry serves the 32-bit machines too.
  run(d.text(), GetParam().machine);
  EXPECT_EQ(generated("deployment.xml"), DeploymentWithProperty(GetParam().name, GetParam().written));
}

const Machine kEndsInBackslash{true, "C:\\Program Files (x86)\\", "C:\\Windows", ""};
const Machine k32Programme{false, "D:\\Programme", "C:\\Windows", ""};
const Machine kWinNt{true, "C:\\Program Files (x86)", "E:\\WinNT", ""};
const Machine kShortProgramFiles{true, "C:\\P", "C:\\Windows", ""};
const Machine kUnmappedProgramFiles{true, "Q:\\Program Files (x86)", "C:\\Windows", ""};
const std::string kLongName(250, 'n');  // "E:\" and this leave 7 characters of a path buffer

INSTANTIATE_TEST_SUITE_P(
    Tokens, InstallDir,
    ::testing::Values(
        InstallDirCase{"ProgramFilesOn64CutsX86", k64Machine, "INSTALLDIR", "[ProgramFiles]\\App", "C:\\Program Files\\App"},
        InstallDirCase{"ProgramFilesEndingInABackslashCutsSeven", kEndsInBackslash, "INSTALLDIR", "[ProgramFiles]\\App",
                       "C:\\Program Files\\App"},
        InstallDirCase{"ProgramFilesOn32IsNotCut", k32Programme, "INSTALLDIR", "[ProgramFiles]\\App", "D:\\Programme\\App"},
        InstallDirCase{"OmbrixProgramFiles", k64Machine, "INSTALLDIR", "[OmbrixProgramFiles]\\Suite",
                       "C:\\Program Files\\Ombrix\\Suite"},
        InstallDirCase{"OmbrixProgramFilesOn32", k32Programme, "INSTALLDIR", "[OmbrixProgramFiles]\\Suite",
                       "D:\\Programme\\Ombrix\\Suite"},
        InstallDirCase{"SysDriveIsTheWindowsDrive", kWinNt, "INSTALLDIR", "[SysDrive]\\Data", "E:\\Data"},
        InstallDirCase{"ProgramFilesAlone", k64Machine, "INSTALLDIR", "[ProgramFiles]", "C:\\Program Files"},
        InstallDirCase{"OmbrixProgramFilesAlone", k64Machine, "INSTALLDIR", "[OmbrixProgramFiles]",
                       "C:\\Program Files\\Ombrix"},
        InstallDirCase{"SysDriveAlone", kWinNt, "INSTALLDIR", "[SysDrive]", "E:"},
        InstallDirCase{"TextOutsideTheBasicPlane", k64Machine, "INSTALLDIR", "[ProgramFiles]\\Caf\xc3\xa9 \xf0\x9d\x84\x9e",
                       "C:\\Program Files\\Caf\xc3\xa9 \xf0\x9d\x84\x9e"},
        InstallDirCase{"TokenNotAtTheStart", k64Machine, "INSTALLDIR", "X[ProgramFiles]\\App", "X[ProgramFiles]\\App"},
        InstallDirCase{"BlankBeforeTheToken", kWinNt, "INSTALLDIR", " [SysDrive]\\Data", " [SysDrive]\\Data"},
        InstallDirCase{"TokenInSmallLetters", k64Machine, "INSTALLDIR", "[programfiles]\\App", "[programfiles]\\App"},
        InstallDirCase{"NameInSmallLetters", k64Machine, "installdir", "[ProgramFiles]\\App", "[ProgramFiles]\\App"},
        InstallDirCase{"AnotherProperty", k64Machine, "TARGETDIR", "[ProgramFiles]\\App", "[ProgramFiles]\\App"},
        // Left as they are: a folder shorter than the cut, one that cannot be
        // had, and a result longer than a path buffer.
        InstallDirCase{"ProgramFilesShorterThanTheCut", kShortProgramFiles, "INSTALLDIR", "[ProgramFiles]\\App",
                       "[ProgramFiles]\\App"},
        InstallDirCase{"ProgramFilesThatCannotBeCreated", kUnmappedProgramFiles, "INSTALLDIR", "[ProgramFiles]\\App",
                       "[ProgramFiles]\\App"},
        InstallDirCase{"ResultLongerThanAPath", kWinNt, "INSTALLDIR", "[SysDrive]\\" + kLongName + "\\abcdef",
                       "[SysDrive]\\" + kLongName + "\\abcdef"},
        InstallDirCase{"ResultThatJustFits", kWinNt, "INSTALLDIR", "[SysDrive]\\" + kLongName + "\\abcde",
                       "E:\\" + kLongName + "\\abcde"}),
    case_name<InstallDirCase>);

TEST_F(Reader, OnlyTheFirstPropertiesOfTheChosenDeploymentIsRewritten) {
  Description d;
  d.infos = Info("All", "<Deployment><Properties><Property name=\"INSTALLDIR\">[SysDrive]\\Zero</Property>"
                        "</Properties></Deployment>") +
            Info("x64", "<Deployment><Properties><Group><Property name=\"INSTALLDIR\">[SysDrive]\\One</Property>"
                        "</Group><Property name=\"INSTALLDIR\">[SysDrive]\\Two</Property></Properties><Properties>"
                        "<Property name=\"INSTALLDIR\">[SysDrive]\\Three</Property></Properties></Deployment>");
  run(d.text());
  EXPECT_EQ(generated("deployment.xml"),
            kHeader +
                "\n<Deployment>\n\n  <Properties>\n    <Group>\n      <Property name=\"INSTALLDIR\">C:\\One</Property>\n"
                "    </Group>\n    <Property name=\"INSTALLDIR\">C:\\Two</Property>\n  </Properties>\n\n"
                "  <Properties>\n    <Property name=\"INSTALLDIR\">[SysDrive]\\Three</Property>\n  </Properties>\n\n"
                "</Deployment>");
}

TEST_F(Reader, TheProgramFilesFolderIsCreatedWhenMissing) {
  Description d;
  d.infos = Info("x64", "<Deployment><Properties><Property name=\"INSTALLDIR\">[ProgramFiles]\\App</Property>"
                        "</Properties></Deployment>");
  ASSERT_FALSE(ombrix_test::file_exists(box_.root() + "/c/Program Files (x86)"));
  run(d.text());
  EXPECT_TRUE(ombrix_test::file_exists(box_.root() + "/c/Program Files (x86)"));
}

// ---- The generated files ----

TEST_F(Reader, EachGeneratedFileIsTheHeaderThenOneElementInUtf8) {
  Description d;
  d.overrides = "<Overrides><Configuration name=\"Caf\xc3\xa9\"><Value>\xf0\x9d\x84\x9e &amp; \xc3\xa9</Value>"
                "</Configuration></Overrides>";
  run(d.text());
  EXPECT_EQ(generated("deployment.xml"), kHeader + "\n<Deployment id=\"x64\"/>");
  EXPECT_EQ(generated("application.xml.override"),
            kHeader + "\n<Configuration name=\"Caf\xc3\xa9\">\n\n  <Value>\xf0\x9d\x84\x9e &amp; \xc3\xa9</Value>\n\n"
                      "</Configuration>");
}

TEST_F(Reader, AnEarlierGeneratedFileIsReplaced) {
  ombrix_test::write_file(box_.temp() + "/deployment.xml", std::string(5000, 'o'));
  ombrix_test::write_file(box_.temp() + "/application.xml.override", std::string(5000, 'o'));
  run(Description().text());
  EXPECT_EQ(generated("deployment.xml"), kHeader + "\n<Deployment id=\"x64\"/>");
  EXPECT_EQ(generated("application.xml.override"), kHeader + "\n<Configuration id=\"c\"/>");
}

TEST_F(Reader, TheDescriptionItselfIsNeverWritten) {
  Description d;
  d.infos = Info("x64", "<Deployment>\r\n <Properties><Property name=\"INSTALLDIR\">[ProgramFiles]\\App</Property>"
                        "</Properties></Deployment>");
  const std::string text = "\xef\xbb\xbf<?xml version=\"1.0\"?>\r\n" + d.text() + "\r\n";
  run(text);
  EXPECT_EQ(ombrix_test::read_file(box_.package() + "/OmbrixZoltInstaller.xml"), text);
}

// How a generated file is kept from being written: a folder stands in its place,
// or the disk is full (no file may grow past kFullDiskRoom bytes, which the
// log of the run stays below and the file does not).
enum class Blocked { kByAFolder, kByAFullDisk };
constexpr long kFullDiskRoom = 1500;

// A description whose generated file of that name is larger than kFullDiskRoom.
std::string WithLargeFile(const std::string& file) {
  const std::string large(2 * kFullDiskRoom, 'x');
  Description d;
  if (file == "deployment.xml") {
    d.infos = Info("x64", EmptyDeployment(large));
  } else {
    d.overrides = "<Overrides><Configuration id=\"" + large + "\"/></Overrides>";
  }
  return d.text();
}

struct UnwritableCase {
  const char* label;
  const char* file;  // the generated file that cannot be written
  Blocked how;
  Lines reader;
};

class Unwritable : public Reader, public ::testing::WithParamInterface<UnwritableCase> {};

TEST_P(Unwritable, AFileThatCannotBeWrittenFailsTheReading) {
  if (GetParam().how == Blocked::kByAFolder) {
    ombrix_test::make_folder(box_.temp() + "/" + GetParam().file);
  } else {
    box_.limit_file_size(kFullDiskRoom);
  }
  run(WithLargeFile(GetParam().file));
  EXPECT_EQ(box_.log_lines(), FailedRun(Then(k64, GetParam().reader)));
}

INSTANTIATE_TEST_SUITE_P(
    Files, Unwritable,
    ::testing::Values(UnwritableCase{"Deployment", "deployment.xml", Blocked::kByAFolder,
                                     {"Error - Failed to create file", "XML - Unable to create deployment.xml file"}},
                      UnwritableCase{"Override", "application.xml.override", Blocked::kByAFolder,
                                     {"XML - Created deployment.xml file", "Error - Failed to create file",
                                      "Error - Unable to create application.xml.override file"}},
                      UnwritableCase{"DeploymentOnAFullDisk", "deployment.xml", Blocked::kByAFullDisk,
                                     {"XML - Unable to create deployment.xml file"}},
                      UnwritableCase{"OverrideOnAFullDisk", "application.xml.override", Blocked::kByAFullDisk,
                                     {"XML - Created deployment.xml file",
                                      "Error - Unable to create application.xml.override file"}}),
    case_name<UnwritableCase>);

// ---- Descriptions that are not well-formed, or hostile ----

const Lines kException{"Error - Exception happened while parsing xml"};

std::string Truncated() {
  // Everything the reader looks up comes before the cut: without the error
  // handler this half of a description would be read and installed.
  Description d;
  d.infos += "<DeploymentInfo processorFamily=\"All\"><Deployment>";
  const std::string text = d.location + d.target + d.overrides + d.infos;
  return "<Package>" + text.substr(0, text.size() - 5);
}

// depth <n> elements, one inside the other; each level opens with opening, so
// that "<n><e/>" gives every level an empty element, which must not count as
// leaving one.
std::string Nested(int depth, const std::string& opening = "<n>") {
  std::string open, close;
  for (int i = 0; i < depth; ++i) {
    open += opening;
    close += "</n>";
  }
  return open + close;
}

std::string WithDoctype(const std::string& subset, const std::string& location) {
  Description d;
  d.location = "<InstallerLocation>" + location + "</InstallerLocation>";
  return "<!DOCTYPE Package [" + subset + "]>" + d.text();
}

// Each entity refers to the next: nesting without elements, under the library's
// limit of expansions.
std::string EntityChain(int length) {
  std::string subset;
  for (int i = 0; i < length; ++i) subset += "<!ENTITY e" + std::to_string(i) + " \"&e" + std::to_string(i + 1) + ";\">";
  return WithDoctype(subset + "<!ENTITY e" + std::to_string(length) + " \"x\">", "&e0;");
}

std::string ExponentialEntities() {
  std::string subset = "<!ENTITY a0 \"lol\">";
  for (int i = 1; i < 10; ++i) {
    std::string value;
    for (int k = 0; k < 10; ++k) value += "&a" + std::to_string(i - 1) + ";";
    subset += "<!ENTITY a" + std::to_string(i) + " \"" + value + "\">";
  }
  return WithDoctype(subset, "&a9;");
}

// A large entity referred to many times, under the reader's limit of 1,000
// expansions (930 here): a few hundred kilobytes that expand to hundreds of
// megabytes, in an element's text or in an attribute's value, past the
// parser's memory budget.
std::string QuadraticEntities(bool in_attribute) {
  std::string many_a, many_b;
  for (int i = 0; i < 30; ++i) many_a += "&a;";
  for (int i = 0; i < 30; ++i) many_b += "&b;";
  const std::string subset = "<!ENTITY a \"" + std::string(200000, 'x') + "\"><!ENTITY b \"" + many_a + "\">";
  if (!in_attribute) return WithDoctype(subset, many_b);
  Description d;
  d.infos = Info("x64", EmptyDeployment("x64"), " other=\"" + many_b + "\"");
  return "<!DOCTYPE Package [" + subset + "]>" + d.text();
}

struct BadCase {
  const char* label;
  std::string description;
};

class BadDescription : public Reader, public ::testing::WithParamInterface<BadCase> {};

TEST_P(BadDescription, FailsInTheCatchAllAndWritesNothing) {
  const RunResult r = run(GetParam().description);
  EXPECT_EQ(r.exit_status, 255);
  EXPECT_EQ(box_.log_lines(), FailedRun(kException));
  EXPECT_FALSE(generated_exists("deployment.xml"));
  EXPECT_FALSE(generated_exists("application.xml.override"));
}

INSTANTIATE_TEST_SUITE_P(
    NotWellFormed, BadDescription,
    ::testing::Values(BadCase{"Truncated", Truncated()},
                      BadCase{"BrokenEndTag", "<Package><InstallerLocation>x</InstallerLocation><TargetOS>Windows"
                                              "</TargetOs>" + Description().infos + Description().overrides +
                                              "</Package>"},
                      BadCase{"BrokenStartTag", "<Package><InstallerLocation x</InstallerLocation></Package>"},
                      BadCase{"EmptyFile", ""},
                      BadCase{"OnlyBlanks", " \r\n\t"},
                      BadCase{"NotXml", "InstallerLocation=x TargetOS=Windows"},
                      BadCase{"TwoDocumentElements", Description().text() + "<Package/>"},
                      BadCase{"UnclosedComment", Description().text().substr(0, 9) + "<!-- " + Description().text()},
                      BadCase{"InvalidUtf8", "<Package><InstallerLocation>\xff\xfe</InstallerLocation></Package>"},
                      BadCase{"UnboundPrefix", "<Package><p:InstallerLocation>x</p:InstallerLocation></Package>"}),
    case_name<BadCase>);

INSTANTIATE_TEST_SUITE_P(
    Hostile, BadDescription,
    ::testing::Values(BadCase{"NestedTooDeeplyForTheStack",
                              [] {
                                Description d;
                                d.infos = Info("x64", "<Deployment>" + Nested(100000) + "</Deployment>");
                                return d.text();
                              }()},
                      BadCase{"NestedOneLevelDeeperThanTheLimit",
                              [] {
                                Description d;
                                d.overrides = "<Overrides><Configuration>" + Nested(254) + "</Configuration></Overrides>";
                                return d.text();
                              }()},
                      BadCase{"NestedTooDeeplyBetweenEmptyElements",
                              [] {
                                Description d;
                                d.location = "<InstallerLocation>" + Nested(100000, "<n><e/>") +
                                             "</InstallerLocation>";
                                return d.text();
                              }()},
                      BadCase{"EntityChainNestedTooDeeply", EntityChain(40000)},
                      BadCase{"ExponentialEntityExpansion", ExponentialEntities()},
                      BadCase{"QuadraticEntityExpansionInText", QuadraticEntities(false)},
                      BadCase{"QuadraticEntityExpansionInAnAttribute", QuadraticEntities(true)}),
    case_name<BadCase>);

TEST_F(Reader, NestingToTheLimitIsRead) {
  Description d;
  d.overrides = "<Overrides><Configuration>" + Nested(253) + "</Configuration></Overrides>";
  run(d.text());
  EXPECT_EQ(reader_lines(), Then(Then(k64, kBothWritten), kReadingSucceeded));
}

TEST_F(Reader, ManySiblingsAreNoNesting) {
  std::string siblings;
  for (int i = 0; i < 100000; ++i) siblings += "<s/>";
  Description d;
  d.overrides = "<Overrides><Configuration>" + siblings + "</Configuration></Overrides>";
  run(d.text());
  EXPECT_EQ(reader_lines(), Then(Then(k64, kBothWritten), kReadingSucceeded));
}

TEST_F(Reader, ValidityErrorsOfADescriptionWithoutGrammarAreNoFailure) {
  // Under the scheme "always" the library reports every element of these as
  // undeclared; the description is well-formed and is read.
  run(WithDoctype("<!ELEMENT Package ANY>", "x"));
  EXPECT_EQ(reader_lines(), Then(Then(k64, kBothWritten), kReadingSucceeded));
}

// ---- DTDs and external entities: local files, read as the description is ----

// A description after the document type declaration, whose INSTALLDIR begins
// with the entity "kit": the folder token is rewritten only when the entity's
// text was read.
std::string UsingKit(const std::string& doctype) {
  Description d;
  d.infos =
      Info("x64", "<Deployment><Properties><Property name=\"INSTALLDIR\">&kit;\\App</Property></Properties></Deployment>");
  return doctype + d.text();
}

std::string WithDtd(const std::string& system_id) { return UsingKit("<!DOCTYPE Package SYSTEM \"" + system_id + "\">"); }

std::string WithEntity(const std::string& declaration) { return UsingKit("<!DOCTYPE Package [" + declaration + "]>"); }

const std::string kKitDtd = "<!ELEMENT Package ANY><!ENTITY kit \"[ProgramFiles]\">";

struct LocalFilesCase {
  const char* label;
  std::string (*description)(const Sandbox& box);
  std::vector<std::pair<std::string, std::string>> files;  // below the package folder, with their text
};

class LocalFiles : public Reader, public ::testing::WithParamInterface<LocalFilesCase> {};

TEST_P(LocalFiles, AreReadFromTheFolderOfTheFileThatNamesThem) {
  for (const auto& [name, text] : GetParam().files) {
    const std::string path = box_.package() + "/" + name;
    ombrix_test::make_folder(path.substr(0, path.rfind('/')));
    ombrix_test::write_file(path, text);
  }
  run(GetParam().description(box_));
  EXPECT_EQ(reader_lines(), Then(Then(k64, kBothWritten), kReadingSucceeded));
  EXPECT_EQ(generated("deployment.xml"), DeploymentWithProperty("INSTALLDIR", "C:\\Program Files\\App"));
}

INSTANTIATE_TEST_SUITE_P(
    Files, LocalFiles,
    ::testing::Values(
        LocalFilesCase{"DtdBesideTheDescription", [](const Sandbox&) { return WithDtd("deploy.dtd"); },
                       {{"deploy.dtd", kKitDtd}}},
        LocalFilesCase{"DtdInASubFolderWithItsOwnEntityFile",
                       [](const Sandbox&) { return WithDtd("grammar/deploy.dtd"); },
                       {{"grammar/deploy.dtd", "<!ENTITY % parts SYSTEM \"parts.ent\">%parts;"},
                        {"grammar/parts.ent", kKitDtd}}},
        LocalFilesCase{"DtdByItsWindowsPath",
                       [](const Sandbox& box) {
                         return WithDtd(ombrix_test::WindowsPathUtf8(box.package() + "/other/deploy.dtd"));
                       },
                       {{"other/deploy.dtd", kKitDtd}}},
        LocalFilesCase{"ExternalEntityBesideTheDescription",
                       [](const Sandbox&) { return WithEntity("<!ENTITY kit SYSTEM \"kit.txt\">"); },
                       {{"kit.txt", "[ProgramFiles]"}}}),
    case_name<LocalFilesCase>);

// A TCP port on this computer that counts the connections made to it.
class Listener {
 public:
  Listener() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(fd_, 8) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
      throw std::runtime_error("no listening socket");
    }
    port_ = ntohs(address.sin_port);
  }
  ~Listener() { ::close(fd_); }
  Listener(const Listener&) = delete;
  Listener& operator=(const Listener&) = delete;

  std::string url(const std::string& file) const { return "http://127.0.0.1:" + std::to_string(port_) + "/" + file; }
  bool connected() const {
    pollfd pending{fd_, POLLIN, 0};
    return ::poll(&pending, 1, 0) == 1;
  }

 private:
  int fd_ = -1;
  int port_ = 0;
};

TEST_F(Reader, TheEntityLimitsHoldInADtd) {
  const std::string exponential = ExponentialEntities();
  const std::size_t start = exponential.find('[') + 1;
  ombrix_test::write_file(box_.package() + "/deploy.dtd", exponential.substr(start, exponential.find("]>") - start));
  Description d;
  d.location = "<InstallerLocation>&a9;</InstallerLocation>";
  run("<!DOCTYPE Package SYSTEM \"deploy.dtd\">" + d.text());
  EXPECT_EQ(box_.log_lines(), FailedRun(kException));
}

TEST_F(Reader, AMissingDtdFailsInTheCatchAll) {
  run(WithDtd("deploy.dtd"));
  EXPECT_EQ(box_.log_lines(), FailedRun(kException));
  EXPECT_FALSE(generated_exists("deployment.xml"));
}

struct NetworkCase {
  const char* label;
  std::string (*description)(const Listener& listener);
};

class OnTheNetwork : public Reader, public ::testing::WithParamInterface<NetworkCase> {};

TEST_P(OnTheNetwork, IsNeverFetchedAndFailsInTheCatchAll) {
  const Listener listener;
  run(GetParam().description(listener));
  EXPECT_FALSE(listener.connected());
  EXPECT_EQ(box_.log_lines(), FailedRun(kException));
  EXPECT_FALSE(generated_exists("deployment.xml"));
}

INSTANTIATE_TEST_SUITE_P(
    Urls, OnTheNetwork,
    ::testing::Values(NetworkCase{"Dtd", [](const Listener& l) { return WithDtd(l.url("deploy.dtd")); }},
                      NetworkCase{"ExternalEntity",
                                  [](const Listener& l) {
                                    return WithEntity("<!ENTITY kit SYSTEM \"" + l.url("kit.txt") + "\">");
                                  }},
                      NetworkCase{"ParameterEntity",
                                  [](const Listener& l) {
                                    return WithEntity("<!ENTITY % kit SYSTEM \"" + l.url("kit.ent") + "\">%kit;");
                                  }}),
    case_name<NetworkCase>);

TEST_F(Reader, ADtdOnAShareIsRefusedThoughTheShareIsReachable) {
  ombrix_test::make_folder(box_.root() + "/share");
  ombrix_test::write_file(box_.root() + "/share/deploy.dtd", kKitDtd);
  Machine machine;
  machine.sections = "[share:\\\\fileserver\\deploy]\npath = " + box_.root() + "/share\n";
  run(WithDtd("\\\\fileserver\\deploy\\deploy.dtd"), machine);
  EXPECT_EQ(box_.log_lines(), FailedRun(kException));
}

// ---- The removal build ----

struct RemovalCase {
  const char* label;
  std::string overrides;
};

class RemovalBuild : public Reader, public ::testing::WithParamInterface<RemovalCase> {};

TEST_P(RemovalBuild, WritesTheDeploymentFileOnly) {
  Description d;
  d.overrides = GetParam().overrides;
  run(d.text(), {}, {"-nodelete"}, "ZoltUnInstaller");
  EXPECT_EQ(reader_lines(), Then(Then(k64, {"XML - Created deployment.xml file"}), kReadingSucceeded));
  EXPECT_EQ(generated("deployment.xml"), kHeader + "\n<Deployment id=\"x64\"/>");
  EXPECT_FALSE(generated_exists("application.xml.override"));
}

TEST_F(Reader, TheRemovalBuildLeavesAnEarlierOverrideFileAlone) {
  ombrix_test::write_file(box_.temp() + "/application.xml.override", "from an earlier install run");
  run(Description().text(), {}, {"-nodelete"}, "ZoltUnInstaller");
  EXPECT_EQ(generated("application.xml.override"), "from an earlier install run");
}

INSTANTIATE_TEST_SUITE_P(Descriptions, RemovalBuild,
                         ::testing::Values(RemovalCase{"WithOverrides", Description().overrides},
                                           RemovalCase{"WithoutOverrides", ""}),
                         case_name<RemovalCase>);

}  // namespace

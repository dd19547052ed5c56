// The install runner's entry body, run as a user runs it: options, the log, the
// description lookup beside the program, and exit codes.
#include <gtest/gtest.h>

#include <future>
#include <tuple>
#include <set>
#include <string>
#include <vector>

#include "sandbox.h"

namespace {

using ombrix_test::RunResult;
using ombrix_test::Sandbox;
using Lines = std::vector<std::string>;

// The two builds of the runner share the entry body; their texts differ.
struct Build {
  const char* program;
  const char* session;      // OmbrixZoltInstaller or OmbrixZoltUninstaller
  bool has_override_file;
};

const Build kBuilds[] = {{"ZoltInstaller", "OmbrixZoltInstaller", true},
                         {"ZoltUnInstaller", "OmbrixZoltUninstaller", false}};

std::string build_name(const ::testing::TestParamInfo<Build>& info) { return info.param.program; }

Lines missing_description_lines(const Build& b) {
  const std::string s = b.session;
  return {"main - START SESSION: " + s,
          "main - Looking for " + s + ".xml file",
          "Error - Unable to found " + s + ".xml file",
          "main - Exit Code: -1",
          "main - Terminating application ",
          "",
          ""};
}

class Entry : public ::testing::TestWithParam<Build> {
 protected:
  void SetUp() override { program_ = box_.copy_program(GetParam().program, box_.package()); }
  RunResult run(const std::vector<std::string>& args) { return box_.run(program_, args); }
  std::string description_path() const { return box_.package() + "/" + GetParam().session + ".xml"; }
  Sandbox box_;
  std::string program_;
  const Lines kMissingDescription = missing_description_lines(GetParam());
};

INSTANTIATE_TEST_SUITE_P(Builds, Entry, ::testing::ValuesIn(kBuilds), build_name);

struct OptionCase {
  std::vector<std::string> args;
  int status;
  bool version_line;
};

class EntryOptions : public ::testing::TestWithParam<std::tuple<Build, OptionCase>> {};

TEST_P(EntryOptions, EndBeforeTheLogIsOpened) {
  Sandbox box_;
  const auto& [build, option] = GetParam();
  const RunResult r = box_.run(box_.copy_program(build.program, box_.package()), option.args);
  EXPECT_EQ(r.exit_status, option.status);
  EXPECT_EQ(r.out, option.version_line ? "Version: 1.0.0.38\r\n" : "");
  EXPECT_EQ(r.err, "");
  EXPECT_FALSE(ombrix_test::file_exists(box_.log_path()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EntryOptions,
    ::testing::Combine(::testing::ValuesIn(kBuilds), ::testing::Values(OptionCase{{"-version"}, 0, true},
                      OptionCase{{"-server=\\\\fileserver\\deploy", "-version"}, 0, true},
                      OptionCase{{"-server=/x", "-version"}, 255, false},
                      OptionCase{{"-version", "-server=bad"}, 0, true},
                      OptionCase{{"-server="}, 255, false}, OptionCase{{"-server=\\one"}, 255, false},
                      OptionCase{{"-server=//fileserver/deploy"}, 255, false},
                      OptionCase{{"-nodelete", "-server=\\\\ok", "-server=x"}, 255, false})));

TEST_P(Entry, MissingDescriptionWritesExactlyItsLines) {
  const RunResult r = run({});
  EXPECT_EQ(r.exit_status, 255);
  EXPECT_EQ(box_.log_lines(), kMissingDescription);
}

TEST_P(Entry, ASecondRunAppendsAfterTheFirst) {
  run({});
  const std::string first = ombrix_test::read_file(box_.log_path());
  run({});
  const std::string both = ombrix_test::read_file(box_.log_path());
  ASSERT_GT(both.size(), first.size());
  EXPECT_EQ(both.substr(0, first.size()), first);
  Lines twice = kMissingDescription;
  twice.insert(twice.end(), kMissingDescription.begin(), kMissingDescription.end());
  EXPECT_EQ(box_.log_lines(), twice);
}

TEST_P(Entry, OptionsInCapitalsAndUserWithoutEqualsAreIgnored) {
  const RunResult r = run({"-VERSION", "-NODELETE", "-user", "-Server=x"});
  EXPECT_EQ(r.exit_status, 255);  // a full run: the description is missing
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(box_.log_lines(), kMissingDescription);
}

TEST_P(Entry, TheDescriptionIsLookedForBesideTheProgramNotInTheCurrentFolder) {
  ombrix_test::write_file(box_.root() + "/" + GetParam().session + ".xml", "<x/>");
  const RunResult r = box_.run(program_, {}, {}, 60, box_.root());
  EXPECT_EQ(r.exit_status, 255);
  EXPECT_EQ(box_.log_lines(), kMissingDescription);
}

class EntryWithDescription : public Entry {
 protected:
  void SetUp() override {
    Entry::SetUp();
    // Not a description the reader accepts: the reading fails.
    ombrix_test::write_file(description_path(), "<Deployment/>");
  }
};

INSTANTIATE_TEST_SUITE_P(Builds, EntryWithDescription, ::testing::ValuesIn(kBuilds), build_name);

TEST_P(EntryWithDescription, AFailedReadingStillTriesTheDeletions) {
  const RunResult r = run({"-user=admin", "-password=s3cr3t-Pa55"});
  EXPECT_EQ(r.exit_status, 255);
  const std::string s = GetParam().session;
  const Lines head{"main - START SESSION: " + s, "main - Looking for " + s + ".xml file",
                   "main - Found " + s + ".xml file", "XML - Processing xml file"};
  Lines tail{"Error - XML parsing failed", "Error - Unable to deleted deployment file"};
  if (GetParam().has_override_file) tail.push_back("Error - Unable to deleted override file");
  tail.insert(tail.end(), {"main - Exit Code: -1", "main - Terminating application ", "", ""});
  const Lines lines = box_.log_lines();
  ASSERT_GE(lines.size(), head.size() + tail.size());
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + head.size()), head);
  EXPECT_EQ(Lines(lines.end() - tail.size(), lines.end()), tail);
}

TEST_P(EntryWithDescription, NoDeleteLeavesOutTheDeletionLines) {
  run({"-nodelete"});
  const Lines tail{"Error - XML parsing failed", "main - Exit Code: -1", "main - Terminating application ", "", ""};
  const Lines lines = box_.log_lines();
  ASSERT_GE(lines.size(), tail.size());
  EXPECT_EQ(Lines(lines.end() - tail.size(), lines.end()), tail);
}

TEST_P(EntryWithDescription, ThePasswordReachesNoFileAndNoOutput) {
  const std::string password = "s3cr3t-Pa55";
  const RunResult r = run({"-user=admin", "-password=" + password, "-nodelete"});
  EXPECT_EQ(r.out.find(password), std::string::npos);
  EXPECT_EQ(r.err.find(password), std::string::npos);
  EXPECT_EQ(ombrix_test::read_file(box_.log_path()).find(password), std::string::npos);
  EXPECT_EQ(ombrix_test::read_file(box_.trace_path()).find(password), std::string::npos);
}

TEST_P(Entry, ATemporaryFolderThatCannotHoldTheLogChangesNothingElse) {
  // A missing folder, and a "folder" that is a file: the log cannot be opened
  // in either, whoever runs the test.
  ombrix_test::write_file(box_.root() + "/plain-file", "");
  for (const std::string& tmp : {box_.root() + "/no-such-folder", box_.root() + "/plain-file"}) {
    const RunResult r = box_.run(program_, {}, {{"TMP", tmp}});
    EXPECT_EQ(r.exit_status, 255) << tmp;
    EXPECT_EQ(r.signal, 0) << tmp;
    EXPECT_EQ(r.out + r.err, "") << tmp;
  }
  EXPECT_FALSE(ombrix_test::file_exists(box_.root() + "/no-such-folder"));
  EXPECT_EQ(ombrix_test::read_file(box_.root() + "/plain-file"), "");
}

TEST_P(Entry, ConcurrentRunsKeepEveryLineWhole) {
  constexpr int kRuns = 20;
  std::vector<std::future<RunResult>> runs;
  for (int i = 0; i < kRuns; ++i) runs.push_back(std::async(std::launch::async, [this] { return run({}); }));
  for (auto& f : runs) EXPECT_EQ(f.get().exit_status, 255);
  const Lines lines = box_.log_lines();  // throws on a torn line or a missing prefix
  ASSERT_EQ(lines.size(), kMissingDescription.size() * kRuns);
  const std::set<std::string> known(kMissingDescription.begin(), kMissingDescription.end());
  for (const auto& line : lines) EXPECT_EQ(known.count(line), 1u) << line;
}

}  // namespace

// The install runner's entry body, run as a user runs it: options, the log, the
// description lookup beside the program, and exit codes.
#include <gtest/gtest.h>

#include <future>
#include <set>
#include <string>
#include <vector>

#include "sandbox.h"

namespace {

using ombrix_test::RunResult;
using ombrix_test::Sandbox;
using Lines = std::vector<std::string>;

const Lines kMissingDescription{
    "main - START SESSION: OmbrixZoltInstaller",
    "main - Looking for OmbrixZoltInstaller.xml file",
    "Error - Unable to found OmbrixZoltInstaller.xml file",
    "main - Exit Code: -1",
    "main - Terminating application ",
    "",
    "",
};

class Entry : public ::testing::Test {
 protected:
  void SetUp() override { program_ = box_.copy_program("ZoltInstaller", box_.package()); }
  RunResult run(const std::vector<std::string>& args) { return box_.run(program_, args); }
  Sandbox box_;
  std::string program_;
};

struct OptionCase {
  std::vector<std::string> args;
  int status;
  bool version_line;
};

class EntryOptions : public Entry, public ::testing::WithParamInterface<OptionCase> {};

TEST_P(EntryOptions, EndBeforeTheLogIsOpened) {
  const RunResult r = run(GetParam().args);
  EXPECT_EQ(r.exit_status, GetParam().status);
  EXPECT_EQ(r.out, GetParam().version_line ? "Version: 1.0.0.38\n" : "");
  EXPECT_EQ(r.err, "");
  EXPECT_FALSE(ombrix_test::file_exists(box_.log_path()));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EntryOptions,
    ::testing::Values(OptionCase{{"-version"}, 0, true},
                      OptionCase{{"-server=\\\\fileserver\\deploy", "-version"}, 0, true},
                      OptionCase{{"-server=/x", "-version"}, 255, false},
                      OptionCase{{"-version", "-server=bad"}, 0, true},
                      OptionCase{{"-server="}, 255, false}, OptionCase{{"-server=\\one"}, 255, false},
                      OptionCase{{"-server=//fileserver/deploy"}, 255, false},
                      OptionCase{{"-nodelete", "-server=\\\\ok", "-server=x"}, 255, false}));

TEST_F(Entry, MissingDescriptionWritesExactlyItsLines) {
  const RunResult r = run({});
  EXPECT_EQ(r.exit_status, 255);
  EXPECT_EQ(box_.log_lines(), kMissingDescription);
}

TEST_F(Entry, ASecondRunAppendsAfterTheFirst) {
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

TEST_F(Entry, OptionsInCapitalsAndUserWithoutEqualsAreIgnored) {
  const RunResult r = run({"-VERSION", "-NODELETE", "-user", "-Server=x"});
  EXPECT_EQ(r.exit_status, 255);  // a full run: the description is missing
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(box_.log_lines(), kMissingDescription);
}

TEST_F(Entry, TheDescriptionIsLookedForBesideTheProgramNotInTheCurrentFolder) {
  ombrix_test::write_file(box_.root() + "/OmbrixZoltInstaller.xml", "<x/>");
  const RunResult r = box_.run(program_, {}, {}, 60, box_.root());
  EXPECT_EQ(r.exit_status, 255);
  EXPECT_EQ(box_.log_lines(), kMissingDescription);
}

class EntryWithDescription : public Entry {
 protected:
  void SetUp() override {
    Entry::SetUp();
    // Not a description the reader accepts: the reading fails.
    ombrix_test::write_file(box_.package() + "/OmbrixZoltInstaller.xml", "<Deployment/>");
  }
};

TEST_F(EntryWithDescription, AFailedReadingStillTriesBothDeletions) {
  const RunResult r = run({"-user=admin", "-password=s3cr3t-Pa55"});
  EXPECT_EQ(r.exit_status, 255);
  const Lines lines = box_.log_lines();
  const Lines head{"main - START SESSION: OmbrixZoltInstaller", "main - Looking for OmbrixZoltInstaller.xml file",
                   "main - Found OmbrixZoltInstaller.xml file", "XML - Processing xml file"};
  ASSERT_GE(lines.size(), head.size() + 7);
  EXPECT_EQ(Lines(lines.begin(), lines.begin() + 4), head);
  const Lines tail{"Error - XML parsing failed", "Error - Unable to deleted deployment file",
                   "Error - Unable to deleted override file", "main - Exit Code: -1",
                   "main - Terminating application ", "", ""};
  EXPECT_EQ(Lines(lines.end() - 7, lines.end()), tail);
}

TEST_F(EntryWithDescription, NoDeleteLeavesOutTheDeletionLines) {
  run({"-nodelete"});
  for (const auto& line : box_.log_lines()) {
    EXPECT_EQ(line.find("delete"), std::string::npos) << line;
  }
}

TEST_F(EntryWithDescription, ThePasswordReachesNoFileAndNoOutput) {
  const std::string password = "s3cr3t-Pa55";
  const RunResult r = run({"-user=admin", "-password=" + password, "-nodelete"});
  EXPECT_EQ(r.out.find(password), std::string::npos);
  EXPECT_EQ(r.err.find(password), std::string::npos);
  EXPECT_EQ(ombrix_test::read_file(box_.log_path()).find(password), std::string::npos);
  EXPECT_EQ(ombrix_test::read_file(box_.trace_path()).find(password), std::string::npos);
}

TEST_F(Entry, ATemporaryFolderThatCannotHoldTheLogChangesNothingElse) {
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

TEST_F(Entry, ConcurrentRunsKeepEveryLineWhole) {
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

// One run of the console as its user starts it: a fresh sandbox with the
// program, the framework libraries and the shipped movie in its package folder,
// a machine profile, an automation script, and the transcript and trace the
// run leaves.
#ifndef OMBRIX_TESTS_CONSOLE_RUN_H
#define OMBRIX_TESTS_CONSOLE_RUN_H

#include <map>
#include <string>
#include <vector>

#include "sandbox.h"

namespace console_test {

using Lines = std::vector<std::string>;

class ConsoleRun {
 public:
  ConsoleRun();

  ombrix_test::Sandbox& box() { return box_; }
  const ombrix_test::Sandbox& box() const { return box_; }
  std::string program() const { return box_.package() + "/KZ4Xelqdesk"; }
  std::string movie() const { return box_.package() + "/OmbrixXelq.ui"; }
  std::string script_path() const { return box_.root() + "/script.txt"; }
  std::string transcript_path() const { return box_.root() + "/transcript.txt"; }

  // The profile: [system] trace, then the sections given.
  void profile(const std::string& ini) { box_.write_profile(ini); }

  // Runs the program with the script (one step a line); env adds to or replaces
  // the automation variables. Bounded: a run that hangs fails the test.
  ombrix_test::RunResult run(const Lines& script, const std::map<std::string, std::string>& env = {},
                             const std::string& working_folder = "");

  Lines transcript() const;
  // The transcript's request and invoke lines, without the message lines.
  Lines calls() const;
  // The transcript without its message lines but those of the exit chain
  // (WM_CLOSE, WM_DESTROY and WM_NCDESTROY at the player).
  Lines story() const;
  Lines trace() const;

 private:
  ombrix_test::Sandbox box_;
};

// The trace's events of the windows of one class, in order, without the
// window's handle: "created", "shown", "moved to (x, y)", "sized to WxH",
// "minimised", "restored", "destroyed".
Lines events_of(const Lines& trace, const std::string& window_class);
// Where the first line equal to the line stands; -1 when none does.
int index_of(const Lines& lines, const std::string& line);

// The reply that the transcript records for the first request line starting
// with "request <request>" (the name and its operands), or "missing".
std::string reply_of(const Lines& transcript, const std::string& request);
// Lines that equal the line.
int count_of(const Lines& lines, const std::string& line);
// Lines that start with the prefix.
Lines starting_with(const Lines& lines, const std::string& prefix);

}  // namespace console_test

#endif

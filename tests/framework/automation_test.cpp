// Automation end to end: a script drives the suite's small host program
// (player_host) as a user would, and its transcript is checked line by line.
#include <gtest/gtest.h>

#include <sstream>

#include "run_checks.h"
#include "sandbox.h"

namespace {

const char kMovie[] =
    "movie Test\n"
    "on load\n  send hello\nend\n"
    "function later\n  return 1\nend\n"
    "function scroll\n  send scrolled\n  return true\nend\n"
    "function quit\n  send bye \"now\"\nend\n";

// The frame lies at (100, 100) without borders, the player fills it: client
// (10, 20) is screen (110, 120).
const char kScript[] =
    "# a user's session\n"
    "send echo \"a & b\" 2 true\n"
    "wait 5000 invoke later\n"
    "down left 10 20\n"
    "move 30 20\n"
    "up left 30 20\n"
    "wheel -120\n"
    "key ctrl+C\n"
    "close\n";

// The lines the check looks at: every line but messages, and of the messages
// those the script's input causes and the player's end. Mouse moves count
// only with a button held, key messages without their lParam.
bool kept(std::string& line) {
  if (line.rfind("message ", 0) != 0) return true;
  std::istringstream words(line);
  std::string word, name, wParam;
  words >> word >> name >> wParam;
  if (name == "WM_KEYDOWN" || name == "WM_KEYUP") {
    line = "message " + name + " " + wParam;
    return true;
  }
  if (name == "WM_MOUSEMOVE") return wParam != "0x00000000";
  return name == "WM_LBUTTONDOWN" || name == "WM_LBUTTONUP" || name == "WM_MOUSEWHEEL" ||
         name == "WM_DESTROY" || name == "WM_NCDESTROY";
}

std::vector<std::string> kept_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (kept(line)) lines.push_back(line);
  }
  return lines;
}

TEST(Automation, DrivesTheHostAsAUserWouldAndRecordsEachEvent) {
  ombrix_test::Sandbox sandbox;
  const std::string movie = sandbox.root() + "/Test.ui";
  const std::string script = sandbox.root() + "/script.txt";
  const std::string transcript = sandbox.root() + "/transcript.txt";
  ombrix_test::write_file(movie, kMovie);
  ombrix_test::write_file(script, kScript);
  const ombrix_test::RunResult run = sandbox.run(OMBRIX_TEST_BIN_DIR "/player_host", {movie},
                                                 {{"WYL_AUTOMATION", script}, {"WYL_TRANSCRIPT", transcript}}, 30);
  EXPECT_TRUE(ombrix_test::ended_with(run, 0));
  const std::vector<std::string> expected = {
      "initialize",
      "isplayer",
      "attributes 2 0",
      "load " + movie,
      "play Test",
      "request hello -> <string>world</string>",
      "invoke later",
      "step send echo \"a & b\" 2 true",
      "request echo \"a & b\" 2 true -> <string>a &amp; b</string>",
      "step wait 5000 invoke later",
      "step down left 10 20",
      "message WM_LBUTTONDOWN 0x00000001 0x0014000A",
      "step move 30 20",
      "message WM_MOUSEMOVE 0x00000001 0x0014001E",
      "step up left 30 20",
      "message WM_LBUTTONUP 0x00000000 0x0014001E",
      "step wheel -120",
      "invoke scroll true",
      "request scrolled -> no reply",
      "message WM_MOUSEWHEEL 0xFF880000 0x00780082",
      "step key ctrl+C",
      "message WM_KEYDOWN 0x00000011",
      "message WM_KEYDOWN 0x00000043",
      "message WM_KEYUP 0x00000043",
      "message WM_KEYUP 0x00000011",
      "step close",
      "invoke quit",
      "request bye \"now\" -> no reply",
      "terminate",
      "message WM_DESTROY",
      "message WM_NCDESTROY",
      "automation stopped",
  };
  const std::vector<std::string> lines = kept_lines(ombrix_test::read_file(transcript));
  for (std::size_t i = 0; i < std::max(lines.size(), expected.size()); ++i) {
    EXPECT_EQ(i < lines.size() ? lines[i] : "(none)", i < expected.size() ? expected[i] : "(none)") << "line " << i;
  }
}

TEST(Automation, AFailedStartIsRecorded) {
  ombrix_test::Sandbox sandbox;
  const std::string movie = sandbox.root() + "/Test.ui";
  const std::string transcript = sandbox.root() + "/transcript.txt";
  ombrix_test::write_file(movie, kMovie);
  const ombrix_test::RunResult run = sandbox.run(OMBRIX_TEST_BIN_DIR "/player_host", {movie},
                                                 {{"WYL_FAIL", "initialize"}, {"WYL_TRANSCRIPT", transcript}}, 30);
  EXPECT_EQ(run.exit_status, 2) << run.err;
  EXPECT_EQ(kept_lines(ombrix_test::read_file(transcript)), std::vector<std::string>{"fail initialize"});
}

}  // namespace

// A player in this test process: a frame window, a player child with a subclass
// that answers the movie's requests as a host would, and the transcript of
// each test in a file of its own.
#ifndef OMBRIX_TESTS_FRAMEWORK_PLAYER_FIXTURE_H
#define OMBRIX_TESTS_FRAMEWORK_PLAYER_FIXTURE_H

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "canvas_fixture.h"
#include "temp_folder.h"
#include "win32.h"
#include "wyl/wyl.h"

// One request as the host's subclass received it.
struct received_request {
  std::string name;
  std::vector<std::string> arguments;  // texts, numbers and booleans as text
};

// What the host's subclass received, and the replies it gives by request name.
std::vector<received_request>& received_requests();
std::map<std::string, std::string>& host_replies();

class PlayerTest : public CanvasBoundary {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The player child of a new frame; null when its creation fails.
  HWND create_player();
  // Writes the text into a file of the test's folder and gives its Windows path.
  WString write_test_file(const std::string& name, const std::string& text) const;
  // Handles this thread's messages until the condition holds (true) or the
  // milliseconds have passed (false).
  bool pump_until(const std::function<bool()>& condition, int milliseconds = 3000);
  // The lines of the transcript; with_messages false leaves out "message" lines.
  std::vector<std::string> transcript(bool with_messages = false) const;
  bool transcript_has(const std::string& line) const;

  ombrix_test::TempFolder temp_{"framework-test"};
  const std::string folder_ = temp_.path();
  HWND frame_ = nullptr;
};

#endif

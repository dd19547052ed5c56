// Automation scripts: the steps a test or the demo has the player perform once
// its movie has started. The text format is described in framework/README.md.
#ifndef OMBRIX_FRAMEWORK_SCRIPT_H
#define OMBRIX_FRAMEWORK_SCRIPT_H

#include <string>
#include <vector>

#include "movie.h"

namespace wyl {

struct step_t {
  enum kind_t { send, wheel, down, up, move, key, close, wait, pause };
  kind_t kind = send;
  int line = 0;
  std::string text;     // the step's line, for the transcript
  send_t request;       // send
  bool right = false;   // down, up: the right button instead of the left
  int x = 0, y = 0;     // down, up, move: client point; wheel: x is the delta
  bool ctrl = false;    // key
  unsigned short virtual_key = 0;  // key
  int milliseconds = 0; // wait, pause
  std::string line_text;  // wait: the transcript line waited for
};

// Reads a script. Throws syntax_error("line <n>: <fault>") for a malformed one.
std::vector<step_t> read_script(const std::string& text);

}  // namespace wyl

#endif

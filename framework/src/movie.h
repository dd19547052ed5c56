// A movie: what the player does when the movie starts and in each function the
// host can invoke. The text format is described in framework/README.md.
#ifndef OMBRIX_FRAMEWORK_MOVIE_H
#define OMBRIX_FRAMEWORK_MOVIE_H

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "operand.h"

namespace wyl {

// One request the movie sends to its host.
struct send_t {
  std::string name;
  std::vector<operand_t> operands;
};

struct block_t {
  std::vector<send_t> sends;
  operand_t result;  // the empty text unless the block returns something
};

struct movie_t {
  std::string name;
  std::optional<block_t> on_load;
  std::map<std::string, block_t> functions;
};

// Reads a movie's text. Throws syntax_error("line <n>: <fault>") for a
// malformed movie.
movie_t read_movie(const std::string& text);

// The statement lines of a movie or script: each line's number (from 1) and its
// text without blanks at either end, for lines that are neither empty nor a
// comment.
std::vector<std::pair<int, std::string>> statement_lines(const std::string& text);

}  // namespace wyl

#endif

#include "script.h"

#include <cmath>
#include <map>

namespace wyl {

namespace {

int read_integer(const word_t& word) {
  if (word.quoted) throw syntax_error("a text where a whole number belongs");
  const double value = read_number(word.characters);
  if (value != std::floor(value) || std::fabs(value) > 1e9) {
    throw syntax_error("not a whole number: " + word.characters);
  }
  return static_cast<int>(value);
}

void require_words(const std::vector<word_t>& words, std::size_t count) {
  if (words.size() != count) throw syntax_error("wrong number of words for " + words[0].characters);
}

// "left" or "right", then the point.
void read_button_point(const std::vector<word_t>& words, step_t& step) {
  require_words(words, 4);
  if (words[1].characters != "left" && words[1].characters != "right") {
    throw syntax_error("no such button: " + words[1].characters);
  }
  step.right = words[1].characters == "right";
  step.x = read_integer(words[2]);
  step.y = read_integer(words[3]);
}

// [ctrl+]<letter, digit or 0xNN>
void read_key(const std::vector<word_t>& words, step_t& step) {
  require_words(words, 2);
  std::string key = words[1].characters;
  const std::string prefix = "ctrl+";
  if (key.compare(0, prefix.size(), prefix) == 0) {
    step.ctrl = true;
    key.erase(0, prefix.size());
  }
  if (key.size() == 1 && ((key[0] >= 'A' && key[0] <= 'Z') || (key[0] >= '0' && key[0] <= '9'))) {
    step.virtual_key = static_cast<unsigned char>(key[0]);
    return;
  }
  if (key.size() == 4 && key.compare(0, 2, "0x") == 0 &&
      key.find_first_not_of("0123456789abcdefABCDEF", 2) == std::string::npos) {
    step.virtual_key = static_cast<unsigned short>(std::stoul(key.substr(2), nullptr, 16));
    if (step.virtual_key != 0) return;
  }
  throw syntax_error("no such key: " + words[1].characters);
}

// wait <ms> <line>: the line waited for is the rest of the step's line, taken
// as it stands (it is not split into words).
step_t read_wait(const std::string& line) {
  const std::size_t ms_at = line.find_first_not_of(" \t", 4);
  const std::size_t ms_end = line.find_first_of(" \t", ms_at);
  if (ms_at == std::string::npos || ms_end == std::string::npos) {
    throw syntax_error("wait needs milliseconds and a line");
  }
  step_t step;
  step.kind = step_t::wait;
  step.text = line;
  step.milliseconds = read_integer(word_t{line.substr(ms_at, ms_end - ms_at), false});
  step.line_text = line.substr(line.find_first_not_of(" \t", ms_end));
  if (step.milliseconds < 0) throw syntax_error("negative milliseconds");
  return step;
}

step_t read_step(const std::string& line) {
  static const std::map<std::string, step_t::kind_t> kinds = {
      {"send", step_t::send}, {"wheel", step_t::wheel}, {"down", step_t::down},
      {"up", step_t::up},     {"move", step_t::move},   {"key", step_t::key},
      {"close", step_t::close}, {"pause", step_t::pause}};
  if (line.compare(0, 5, "wait ") == 0 || line.compare(0, 5, "wait\t") == 0) return read_wait(line);
  const std::vector<word_t> words = split_words(line);
  const auto kind = kinds.find(words[0].quoted ? std::string() : words[0].characters);
  if (kind == kinds.end()) throw syntax_error("unknown step: " + line);
  step_t step;
  step.kind = kind->second;
  step.text = line;
  switch (step.kind) {
    case step_t::send:
      if (words.size() < 2 || words[1].quoted) throw syntax_error("send needs a request name");
      step.request.name = words[1].characters;
      for (std::size_t i = 2; i < words.size(); ++i) step.request.operands.push_back(read_operand(words[i]));
      break;
    case step_t::wheel: require_words(words, 2); step.x = read_integer(words[1]); break;
    case step_t::down:
    case step_t::up: read_button_point(words, step); break;
    case step_t::move:
      require_words(words, 3);
      step.x = read_integer(words[1]);
      step.y = read_integer(words[2]);
      break;
    case step_t::key: read_key(words, step); break;
    case step_t::close: require_words(words, 1); break;
    case step_t::wait: break;
    case step_t::pause: require_words(words, 2); step.milliseconds = read_integer(words[1]); break;
  }
  if (step.milliseconds < 0) throw syntax_error("negative milliseconds");
  return step;
}

}  // namespace

std::vector<step_t> read_script(const std::string& text) {
  std::vector<step_t> steps;
  for (const auto& [number, line] : statement_lines(text)) {
    try {
      steps.push_back(read_step(line));
    } catch (const syntax_error& e) {
      throw syntax_error("line " + std::to_string(number) + ": " + e.what());
    }
    steps.back().line = number;
  }
  return steps;
}

}  // namespace wyl

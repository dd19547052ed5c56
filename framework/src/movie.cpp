#include "movie.h"

#include <sstream>

namespace wyl {

namespace {

class movie_reader {
 public:
  void statement(const std::string& line) {
    const std::vector<word_t> words = split_words(line);
    const std::string& keyword = words[0].quoted ? std::string() : words[0].characters;
    if (!named_) return name_movie(keyword, words);
    if (keyword == "end" && words.size() == 1) return end_block();
    if (block_ != nullptr) return block_statement(keyword, words);
    if (keyword == "on" && words.size() == 2 && words[1].characters == "load" && !words[1].quoted) {
      if (movie_.on_load) throw syntax_error("a second on load");
      block_ = &movie_.on_load.emplace();
      return;
    }
    if (keyword == "function" && words.size() == 2 && !words[1].quoted) {
      if (!movie_.functions.emplace(words[1].characters, block_t()).second) {
        throw syntax_error("a second function " + words[1].characters);
      }
      block_ = &movie_.functions[words[1].characters];
      return;
    }
    throw syntax_error("unknown statement: " + line);
  }

  movie_t finish() {
    if (!named_) throw syntax_error("no movie statement");
    if (block_ != nullptr) throw syntax_error("a block without end");
    return std::move(movie_);
  }

 private:
  void name_movie(const std::string& keyword, const std::vector<word_t>& words) {
    if (keyword != "movie" || words.size() != 2 || words[1].quoted) {
      throw syntax_error("the movie must start with: movie <name>");
    }
    movie_.name = words[1].characters;
    named_ = true;
  }

  void end_block() {
    if (block_ == nullptr) throw syntax_error("end without a block");
    block_ = nullptr;
    returned_ = false;
  }

  void block_statement(const std::string& keyword, const std::vector<word_t>& words) {
    if (returned_) throw syntax_error("a statement after return");
    if (keyword == "send" && words.size() >= 2 && !words[1].quoted) {
      send_t send{words[1].characters, {}};
      for (std::size_t i = 2; i < words.size(); ++i) send.operands.push_back(read_operand(words[i]));
      block_->sends.push_back(std::move(send));
      return;
    }
    if (keyword == "return" && words.size() == 2) {
      block_->result = read_operand(words[1]);
      returned_ = true;
      return;
    }
    throw syntax_error("unknown statement in a block: " + keyword);
  }

  movie_t movie_;
  bool named_ = false;
  block_t* block_ = nullptr;
  bool returned_ = false;
};

}  // namespace

std::vector<std::pair<int, std::string>> statement_lines(const std::string& text) {
  std::vector<std::pair<int, std::string>> lines;
  std::istringstream in(text);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos || line[first] == '#') continue;
    const auto last = line.find_last_not_of(" \t\r");
    lines.emplace_back(number, line.substr(first, last - first + 1));
  }
  return lines;
}

movie_t read_movie(const std::string& text) {
  movie_reader reader;
  int last_line = 0;
  for (const auto& [number, line] : statement_lines(text)) {
    last_line = number;
    try {
      reader.statement(line);
    } catch (const syntax_error& e) {
      throw syntax_error("line " + std::to_string(number) + ": " + e.what());
    }
  }
  try {
    return reader.finish();
  } catch (const syntax_error& e) {
    throw syntax_error("line " + std::to_string(last_line) + ": " + e.what());
  }
}

}  // namespace wyl

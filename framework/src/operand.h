// Operands of requests and movie functions, and the words of a movie or script
// line. One text form serves movies, scripts and the transcript.
#ifndef OMBRIX_FRAMEWORK_OPERAND_H
#define OMBRIX_FRAMEWORK_OPERAND_H

#include <stdexcept>
#include <string>
#include <vector>

namespace wyl {

struct operand_t {
  enum kind_t { text, number, boolean };
  kind_t kind = text;
  std::string characters;  // UTF-8, for text
  double value = 0;        // for number
  bool truth = false;      // for boolean
};

operand_t text_operand(std::string characters);
operand_t number_operand(double value);
operand_t boolean_operand(bool truth);

// What a malformed movie or script line gives; the message names the fault.
class syntax_error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A word of a line: a bare word, or a quoted text with its escapes resolved.
struct word_t {
  std::string characters;
  bool quoted = false;
};

// Splits a line at blanks; a quoted text is one word. Throws syntax_error for
// an unterminated quote or an unknown escape.
std::vector<word_t> split_words(const std::string& line);

// A quoted word is a text; "true" and "false" are booleans; any other word is
// a number, or a syntax_error when strtod does not read all of it as a finite one.
operand_t read_operand(const word_t& word);

// A finite double's bare number text, as strtod reads it (a strict decimal:
// no "inf", "nan" or hexadecimal); throws syntax_error otherwise.
double read_number(const std::string& text);

// The shortest decimal that reads back as the same double.
std::string format_number(double value);

// The operand as a movie would write it: texts quoted and escaped.
std::string format_operand(const operand_t& operand);

// " " before each operand's text form.
std::string format_operands(const std::vector<operand_t>& operands);

// The text with characters below U+0020 as \uXXXX, so that it stays on one line.
std::string one_line(const std::string& text);

}  // namespace wyl

#endif

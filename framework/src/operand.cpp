#include "operand.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace wyl {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

void append_utf8(unsigned code, std::string& out) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The four hexadecimal digits of \uXXXX at line[at]; a character of the basic
// plane that is no surrogate.
unsigned read_code(const std::string& line, std::size_t at) {
  if (at + 4 > line.size()) throw syntax_error("short \\u escape");
  unsigned code = 0;
  for (std::size_t i = at; i < at + 4; ++i) {
    const char c = line[i];
    const int digit = (c >= '0' && c <= '9')   ? c - '0'
                      : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                      : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                               : -1;
    if (digit < 0) throw syntax_error("bad \\u escape");
    code = code * 16 + static_cast<unsigned>(digit);
  }
  if (code >= 0xD800 && code <= 0xDFFF) throw syntax_error("surrogate in \\u escape");
  return code;
}

// The quoted text that starts at line[at] (the opening quote); gives the
// position after the closing quote.
std::size_t read_quoted(const std::string& line, std::size_t at, std::string& out) {
  for (std::size_t i = at + 1; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') return i + 1;
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++i == line.size()) break;
    switch (line[i]) {
      case '\\': out += '\\'; break;
      case '"': out += '"'; break;
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case 'u':
        append_utf8(read_code(line, i + 1), out);
        i += 4;
        break;
      default: throw syntax_error(std::string("unknown escape \\") + line[i]);
    }
  }
  throw syntax_error("text without its closing quote");
}

void append_escaped_control(unsigned char c, std::string& out) {
  char code[8];
  std::snprintf(code, sizeof code, "\\u%04X", c);
  out += code;
}

}  // namespace

operand_t text_operand(std::string characters) {
  operand_t o;
  o.kind = operand_t::text;
  o.characters = std::move(characters);
  return o;
}

operand_t number_operand(double value) {
  operand_t o;
  o.kind = operand_t::number;
  o.value = value;
  return o;
}

operand_t boolean_operand(bool truth) {
  operand_t o;
  o.kind = operand_t::boolean;
  o.truth = truth;
  return o;
}

std::vector<word_t> split_words(const std::string& line) {
  std::vector<word_t> words;
  std::size_t i = 0;
  while (i < line.size()) {
    if (is_blank(line[i])) {
      ++i;
      continue;
    }
    word_t word;
    if (line[i] == '"') {
      word.quoted = true;
      i = read_quoted(line, i, word.characters);
      if (i < line.size() && !is_blank(line[i])) throw syntax_error("no blank after a text");
    } else {
      while (i < line.size() && !is_blank(line[i])) word.characters += line[i++];
    }
    words.push_back(std::move(word));
  }
  return words;
}

double read_number(const std::string& text) {
  const bool decimal = !text.empty() && text.find_first_not_of("0123456789+-.eE") == std::string::npos;
  if (!decimal) throw syntax_error("not a number: " + text);
  // Overflow reads as infinity; underflow to a subnormal or zero is a number.
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || !std::isfinite(value)) {
    throw syntax_error("not a number: " + text);
  }
  return value;
}

operand_t read_operand(const word_t& word) {
  if (word.quoted) return text_operand(word.characters);
  if (word.characters == "true") return boolean_operand(true);
  if (word.characters == "false") return boolean_operand(false);
  return number_operand(read_number(word.characters));
}

std::string format_number(double value) {
  char text[32];
  for (int precision = 1; precision <= 17; ++precision) {
    std::snprintf(text, sizeof text, "%.*g", precision, value);
    if (std::strtod(text, nullptr) == value) break;
  }
  return text;
}

std::string format_operand(const operand_t& operand) {
  switch (operand.kind) {
    case operand_t::number: return format_number(operand.value);
    case operand_t::boolean: return operand.truth ? "true" : "false";
    case operand_t::text: break;
  }
  std::string out = "\"";
  for (const char c : operand.characters) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          append_escaped_control(static_cast<unsigned char>(c), out);
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string format_operands(const std::vector<operand_t>& operands) {
  std::string out;
  for (const operand_t& o : operands) out += " " + format_operand(o);
  return out;
}

std::string one_line(const std::string& text) {
  std::string out;
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 0x20) {
      append_escaped_control(static_cast<unsigned char>(c), out);
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace wyl

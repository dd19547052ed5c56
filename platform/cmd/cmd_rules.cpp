// The command interpreter's pure rules.
#include "cmd_rules.h"

#include "cmdline.h"
#include "text.h"

namespace winlayer::cmd {
namespace {

bool is_blank(char16_t c) { return c == u' ' || c == u'\t'; }
bool is_separator(char16_t c) { return is_blank(c) || c == u',' || c == u';' || c == u'='; }

std::size_t skip_blanks(std::u16string_view s, std::size_t i) {
  while (i < s.size() && is_blank(s[i])) ++i;
  return i;
}

std::u16string strip_outer_quotes(std::u16string_view command) {
  std::u16string text(command.substr(1));
  const auto last = text.find_last_of(u'"');
  if (last != std::u16string::npos) text.erase(last, 1);
  return text;
}

// Reads one argument with its quotes removed; returns the index after it.
std::size_t read_argument(std::u16string_view s, std::size_t i, std::u16string& argument) {
  bool quoted = false;
  for (; i < s.size(); ++i) {
    if (s[i] == u'"') {
      quoted = !quoted;
    } else if (!quoted && (is_separator(s[i]) || s[i] == u'/')) {
      break;
    } else {
      argument += s[i];
    }
  }
  return i;
}

std::size_t read_switch(std::u16string_view s, std::size_t i, std::u16string& letters) {
  for (++i; i < s.size() && !is_separator(s[i]) && s[i] != u'/' && s[i] != u'"'; ++i) letters += s[i];
  return i;
}

}  // namespace

bool command_after_switches(std::u16string_view line, std::u16string& command) {
  std::u16string program;
  std::size_t i = skip_blanks(line, read_program_name(line, Splitter::kShell, program));
  while (i < line.size() && line[i] == u'/') {
    if (i + 1 < line.size() && ascii_upper(line[i + 1]) == u'C') {
      const std::u16string_view rest = line.substr(skip_blanks(line, i + 2));
      command = !rest.empty() && rest[0] == u'"' ? strip_outer_quotes(rest) : std::u16string(rest);
      return true;
    }
    ++i;
    while (i < line.size() && !is_blank(line[i]) && line[i] != u'/') ++i;
    i = skip_blanks(line, i);
  }
  return false;
}

BuiltinCall split_builtin(std::u16string_view command) {
  BuiltinCall call;
  std::size_t i = 0;
  while (i < command.size() && is_separator(command[i])) ++i;
  for (; i < command.size() && !is_separator(command[i]) && command[i] != u'/' && command[i] != u'"'; ++i) {
    call.name += command[i];
  }
  while (i < command.size()) {
    if (is_separator(command[i])) {
      ++i;
    } else if (command[i] == u'/') {
      i = read_switch(command, i, call.switches.emplace_back());
    } else {
      i = read_argument(command, i, call.arguments.emplace_back());
    }
  }
  return call;
}

}  // namespace winlayer::cmd

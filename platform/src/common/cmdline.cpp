// Command-line splitting and quoting.
#include "cmdline.h"

namespace winlayer {
namespace {

bool is_blank(char16_t c) { return c == u' ' || c == u'\t'; }

std::size_t skip_blanks(std::u16string_view s, std::size_t i) {
  while (i < s.size() && is_blank(s[i])) ++i;
  return i;
}

// Reads one argument from i on; returns the index after it.
std::size_t read_argument(std::u16string_view s, std::size_t i, Splitter rules, std::u16string& arg) {
  bool quoted = false;
  while (i < s.size() && (quoted || !is_blank(s[i]))) {
    std::size_t backslashes = 0;
    while (i < s.size() && s[i] == u'\\') {
      ++backslashes;
      ++i;
    }
    if (i < s.size() && s[i] == u'"') {
      arg.append(backslashes / 2, u'\\');
      if (backslashes % 2 == 1) {
        arg += u'"';
      } else if (rules == Splitter::kRunTime && quoted && i + 1 < s.size() && s[i + 1] == u'"') {
        arg += u'"';
        quoted = false;
        ++i;
      } else {
        quoted = !quoted;
      }
      ++i;
    } else {
      arg.append(backslashes, u'\\');
      if (backslashes == 0 && i < s.size()) arg += s[i++];
    }
  }
  return i;
}

}  // namespace

std::size_t read_program_name(std::u16string_view s, Splitter rules, std::u16string& name) {
  name.clear();
  if (rules == Splitter::kShell && !s.empty() && s[0] == u'"') {
    const auto close = s.find(u'"', 1);
    name = s.substr(1, close == std::u16string_view::npos ? std::u16string_view::npos : close - 1);
    return close == std::u16string_view::npos ? s.size() : close + 1;
  }
  bool quoted = false;
  std::size_t i = 0;
  for (; i < s.size() && (quoted || !is_blank(s[i])); ++i) {
    if (rules == Splitter::kRunTime && s[i] == u'"') {
      quoted = !quoted;
    } else {
      name += s[i];
    }
  }
  return i;
}

std::vector<std::u16string> split_command_line(std::u16string_view s, Splitter rules) {
  std::vector<std::u16string> args(1);
  std::size_t i = skip_blanks(s, read_program_name(s, rules, args[0]));
  while (i < s.size()) {
    std::u16string arg;
    i = skip_blanks(s, read_argument(s, i, rules, arg));
    args.push_back(std::move(arg));
  }
  return args;
}

std::u16string quote_argument(std::u16string_view argument) {
  if (!argument.empty() && argument.find_first_of(u" \t\"") == std::u16string_view::npos) {
    return std::u16string(argument);
  }
  std::u16string out = u"\"";
  std::size_t backslashes = 0;
  for (char16_t c : argument) {
    if (c == u'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == u'"' ? backslashes * 2 + 1 : backslashes, u'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, u'\\');
  out += u'"';
  return out;
}

std::u16string join_command_line(const std::vector<std::u16string>& arguments) {
  std::u16string line;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (i > 0) line += u' ';
    const bool needs_quotes = arguments[i].find_first_of(u" \t") != std::u16string::npos || arguments[i].empty();
    line += i > 0 ? quote_argument(arguments[i]) : needs_quotes ? u"\"" + arguments[i] + u"\"" : arguments[i];
  }
  return line;
}

}  // namespace winlayer

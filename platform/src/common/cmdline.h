// Windows' command-line rules: pure functions of their inputs. Windows has two
// splitters, documented apart: CommandLineToArgvW's and the C run-time's, which
// gives a program its argv. Both take blanks and tabs outside quotes as
// separators; 2n backslashes before a quote give n backslashes and the quote
// opens or closes a quoted part; 2n+1 backslashes before a quote give n
// backslashes and a literal quote; other backslashes are literal. They differ in
// the program name and in doubled quotes (see Splitter).
#ifndef WINLAYER_CMDLINE_H
#define WINLAYER_CMDLINE_H

#include <string>
#include <string_view>
#include <vector>

namespace winlayer {

enum class Splitter {
  // CommandLineToArgvW: a program name that starts with a quote ends at the
  // next quote, and what follows it starts the next argument; otherwise it ends
  // at the first blank or tab. Every other quote opens or closes a quoted part.
  kShell,
  // The C run-time: the program name ends at the first blank or tab outside
  // quotes, and any quotes in it group without being kept. Inside a quoted part
  // a doubled quote gives one literal quote and ends the part.
  kRunTime,
};

// Where the program name ends (after its closing quote, if it has one), with
// the name itself in name.
std::size_t read_program_name(std::u16string_view command_line, Splitter rules, std::u16string& name);

// Splits a whole command line: the program name, then each argument.
std::vector<std::u16string> split_command_line(std::u16string_view command_line, Splitter rules);

// Quotes one argument so that both splitters give it back unchanged.
std::u16string quote_argument(std::u16string_view argument);

// The command line for an argument vector: the program name quoted when it holds
// a blank, the other arguments by quote_argument, separated by one blank.
std::u16string join_command_line(const std::vector<std::u16string>& arguments);

}  // namespace winlayer

#endif

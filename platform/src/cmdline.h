// Windows' command-line rules: pure functions of their inputs.
#ifndef WINLAYER_CMDLINE_H
#define WINLAYER_CMDLINE_H

#include <string>
#include <string_view>
#include <vector>

namespace winlayer {

// Splits a command line as CommandLineToArgvW and the C run-time do. The program
// name runs to the first blank or tab, or between its quotes when it starts with
// one, with backslashes taken literally. Then, for each argument: blanks and tabs
// outside quotes separate; 2n backslashes before a quote give n backslashes and
// the quote opens or closes a quoted part; 2n+1 backslashes before a quote give n
// backslashes and a literal quote; inside a quoted part "" gives a literal quote;
// other backslashes are literal.
std::vector<std::u16string> split_command_line(std::u16string_view command_line);

// Quotes one argument so that split_command_line gives it back unchanged.
std::u16string quote_argument(std::u16string_view argument);

// The command line for an argument vector: the program name quoted when it holds
// a blank, the other arguments by quote_argument, separated by one blank.
std::u16string join_command_line(const std::vector<std::u16string>& arguments);

}  // namespace winlayer

#endif

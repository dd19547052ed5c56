// The command interpreter's pure rules: what follows /C and how the built-in
// commands split their arguments.
#ifndef WINLAYER_CMD_RULES_H
#define WINLAYER_CMD_RULES_H

#include <string>
#include <string_view>
#include <vector>

namespace winlayer::cmd {

// The command string of a whole command line "<program> [switches] /C <command>":
// the text after /C (any case, with or without a blank after it) and the blanks
// that follow it. When that text starts with a quote, the quote and the last
// quote of the line are removed, as the interpreter does when the quoted text
// names no program. False when the line has no /C before anything but switches.
bool command_after_switches(std::u16string_view command_line, std::u16string& command);

// One built-in command: its name and its switches and arguments in order.
struct BuiltinCall {
  std::u16string name;
  std::vector<std::u16string> switches;   // the letters after "/", e.g. "Q"
  std::vector<std::u16string> arguments;  // quotes removed
};

// Splits a command as the interpreter's built-ins do: outside quotes, blanks,
// tabs, ',', ';' and '=' separate, and '/' starts a switch; quotes group and are
// removed. The name ends at a separator, a '/' or a quote.
BuiltinCall split_builtin(std::u16string_view command);

}  // namespace winlayer::cmd

#endif

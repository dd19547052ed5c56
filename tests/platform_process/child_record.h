// What the suite's child program (test_child) records of its start: one
// "key=value" line each for pid, module, command line and cwd, then one "argv="
// line per argument.
#ifndef OMBRIX_TESTS_CHILD_RECORD_H
#define OMBRIX_TESTS_CHILD_RECORD_H

#include <sstream>
#include <string>
#include <vector>

namespace layer_test {

struct ChildRecord {
  std::string pid, module, command_line, cwd;
  std::vector<std::string> argv;
};

inline ChildRecord parse_child_record(const std::string& text) {
  ChildRecord r;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    const auto eq = line.find('=');
    const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    if (key == "pid") r.pid = value;
    if (key == "module") r.module = value;
    if (key == "command line") r.command_line = value;
    if (key == "cwd") r.cwd = value;
    if (key == "argv") r.argv.push_back(value);
  }
  return r;
}

}  // namespace layer_test

#endif

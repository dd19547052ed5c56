// One run of the console.
#include "console_run.h"

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

namespace console_test {
namespace fs = std::filesystem;

namespace {

Lines read_lines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  Lines lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace

ConsoleRun::ConsoleRun() {
  box_.copy_program("KZ4Xelqdesk", box_.package());
  box_.copy_program("OmbrixXelq.ui", box_.package());
  // The shared libraries beside the program, as its DLLs would lie: the
  // framework's and the layer's.
  for (const auto& entry : fs::directory_iterator(OMBRIX_BIN_DIR)) {
    if (entry.path().extension() == ".so") box_.copy_program(entry.path().filename().string(), box_.package());
  }
}

ombrix_test::RunResult ConsoleRun::run(const Lines& script, const std::map<std::string, std::string>& env,
                                       const std::string& working_folder) {
  std::string text;
  for (const auto& step : script) text += step + "\n";
  ombrix_test::write_file(script_path(), text);
  std::map<std::string, std::string> variables{{"WYL_AUTOMATION", script_path()},
                                               {"WYL_TRANSCRIPT", transcript_path()}};
  for (const auto& [name, value] : env) variables[name] = value;
  return box_.run(program(), {}, variables, /*timeout_seconds=*/30, working_folder);
}

Lines ConsoleRun::transcript() const { return read_lines(transcript_path()); }

Lines ConsoleRun::calls() const {
  Lines calls;
  for (const auto& line : transcript()) {
    if (line.rfind("request ", 0) == 0 || line.rfind("invoke ", 0) == 0) calls.push_back(line);
  }
  return calls;
}

Lines ConsoleRun::story() const {
  static const std::regex chain("message (WM_CLOSE|WM_DESTROY|WM_NCDESTROY)");
  Lines story;
  for (const auto& line : transcript()) {
    if (line.rfind("message ", 0) != 0 || std::regex_match(line, chain)) story.push_back(line);
  }
  return story;
}

Lines ConsoleRun::trace() const { return read_lines(box_.trace_path()); }

Lines events_of(const Lines& trace, const std::string& window_class) {
  static const std::regex line(R"(^window ([a-z]+): (.+) 0x[0-9A-F]{8}( parent=0x[0-9A-F]{8})?( .*)?$)");
  Lines events;
  for (const auto& l : trace) {
    std::smatch m;
    if (std::regex_match(l, m, line) && m[2] == window_class) events.push_back(m[1].str() + m[4].str());
  }
  return events;
}

int index_of(const Lines& lines, const std::string& line) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] == line) return static_cast<int>(i);
  }
  return -1;
}

std::string reply_of(const Lines& transcript, const std::string& request) {
  const std::string prefix = "request " + request + " -> ";
  for (const auto& line : transcript) {
    if (line.rfind(prefix, 0) == 0) return line.substr(prefix.size());
  }
  return "missing";
}

int count_of(const Lines& lines, const std::string& line) {
  int n = 0;
  for (const auto& l : lines) n += l == line;
  return n;
}

Lines starting_with(const Lines& lines, const std::string& prefix) {
  Lines found;
  for (const auto& l : lines) {
    if (l.rfind(prefix, 0) == 0) found.push_back(l);
  }
  return found;
}

}  // namespace console_test

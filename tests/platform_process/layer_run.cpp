// Bounded runs of command lines on the layer.
#include "layer_run.h"

#include "text.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

extern char** environ;

namespace layer_test {
namespace {

// This process's environment with the entries replaced or added, as a block
// for CREATE_UNICODE_ENVIRONMENT.
std::u16string environment_block(const std::map<std::string, std::string>& changes) {
  std::map<std::string, std::string> entries;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    const auto eq = entry.find('=');
    entries[entry.substr(0, eq)] = eq == std::string::npos ? "" : entry.substr(eq + 1);
  }
  for (const auto& [name, value] : changes) entries[name] = value;
  std::u16string block;
  for (const auto& [name, value] : entries) block += winlayer::utf8_to_utf16(name + "=" + value) + u'\0';
  return block + u'\0';
}

}  // namespace

CapturedStreams::CapturedStreams(const std::string& folder, const std::string& input)
    : file_(folder + "/captured-output") {
  std::fflush(nullptr);
  for (int fd = 0; fd < 3; ++fd) saved_[fd] = ::dup(fd);
  const std::string input_file = folder + "/captured-input";
  std::ofstream(input_file, std::ios::binary) << input;
  const int in = ::open(input_file.c_str(), O_RDONLY);
  const int out = ::open(file_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ::dup2(in, 0);
  ::dup2(out, 1);
  ::dup2(out, 2);
  ::close(in);
  ::close(out);
}

CapturedStreams::~CapturedStreams() {
  std::fflush(nullptr);
  for (int fd = 0; fd < 3; ++fd) {
    ::dup2(saved_[fd], fd);
    ::close(saved_[fd]);
  }
}

std::string CapturedStreams::text() const {
  std::ifstream in(file_, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

LayerRun run_on_layer(const std::u16string& command_line, const std::string& scratch_folder,
                      const std::string& input, const std::map<std::string, std::string>& environment,
                      DWORD timeout_ms) {
  LayerRun run;
  CapturedStreams streams(scratch_folder, input);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process = {};
  std::u16string writable = command_line;
  std::u16string block = environment_block(environment);
  run.started = CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                               block.data(), nullptr, &startup, &process) != FALSE;
  if (!run.started) {
    run.error = GetLastError();
    return run;
  }
  run.ended = WaitForSingleObject(process.hProcess, timeout_ms) == WAIT_OBJECT_0;
  if (!run.ended) {
    ::kill(static_cast<pid_t>(process.dwProcessId), SIGKILL);
    WaitForSingleObject(process.hProcess, INFINITE);
  }
  GetExitCodeProcess(process.hProcess, &run.code);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  run.output = streams.text();
  return run;
}

}  // namespace layer_test

// Bounded runs of command lines on the layer.
#include "layer_run.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace layer_test {

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
                      const std::string& input, DWORD timeout_ms) {
  LayerRun run;
  CapturedStreams streams(scratch_folder, input);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process = {};
  std::u16string writable = command_line;
  run.started = CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process) != FALSE;
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

// The end-to-end sandbox.
#include "sandbox.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace ombrix_test {
namespace fs = std::filesystem;

namespace {

std::vector<std::string> make_environment(const std::map<std::string, std::string>& overrides) {
  std::map<std::string, std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    const auto eq = entry.find('=');
    if (eq == std::string::npos) continue;
    const std::string name = entry.substr(0, eq);
    if (name == "TMP" || name == "TEMP" || name == "TMPDIR" || name.rfind("WINLAYER_", 0) == 0) continue;
    env[name] = entry.substr(eq + 1);
  }
  for (const auto& [name, value] : overrides) env[name] = value;
  std::vector<std::string> out;
  for (const auto& [name, value] : env) out.push_back(name + "=" + value);
  return out;
}

// Reads both pipes until they close or the deadline passes.
bool drain(int out_fd, int err_fd, RunResult& result, std::chrono::steady_clock::time_point deadline) {
  pollfd fds[2] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open_count = 2;
  while (open_count > 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    if (::poll(fds, 2, static_cast<int>(left.count())) < 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(n));
      } else {
        fds[i].fd = -1;
        --open_count;
      }
    }
  }
  return true;
}

}  // namespace

Sandbox::Sandbox() {
  make_folder(temp());
  make_folder(package());
  write_profile();
}

void Sandbox::write_profile(const std::string& extra_ini) const {
  write_file(profile_path(), "[system]\ntrace = " + trace_path() + "\n" + extra_ini);
}

std::string Sandbox::copy_program(const std::string& name, const std::string& folder, const std::string& as_name) const {
  make_folder(folder);
  const std::string target = folder + "/" + (as_name.empty() ? name : as_name);
  fs::copy_file(built_program(name), target, fs::copy_options::overwrite_existing);
  return target;
}

RunResult Sandbox::run(const std::string& program, const std::vector<std::string>& args,
                       const std::map<std::string, std::string>& env, int timeout_seconds,
                       const std::string& working_folder) const {
  std::map<std::string, std::string> overrides{{"TMP", temp()}, {"WINLAYER_MACHINE", profile_path()}};
  for (const auto& [name, value] : env) overrides[name] = value;
  const std::vector<std::string> environment = make_environment(overrides);
  std::vector<char*> envp;
  for (const auto& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  int out_pipe[2], err_pipe[2];
  if (::pipe2(out_pipe, O_CLOEXEC) != 0 || ::pipe2(err_pipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(out_pipe[1], 1);
    ::dup2(err_pipe[1], 2);
    if (!working_folder.empty() && ::chdir(working_folder.c_str()) != 0) ::_exit(126);
    if (file_size_limit_ > 0) {
      const rlimit limit{static_cast<rlim_t>(file_size_limit_), static_cast<rlim_t>(file_size_limit_)};
      ::signal(SIGXFSZ, SIG_IGN);  // kept across the exec: the write fails instead of ending the program
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(125);
    }
    ::execve(program.c_str(), argv.data(), envp.data());
    ::_exit(127);
  }
  ::close(out_pipe[1]);
  ::close(err_pipe[1]);
  RunResult result;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
  if (!drain(out_pipe[0], err_pipe[0], result, deadline)) {
    result.timed_out = true;
    ::kill(pid, SIGKILL);
  }
  ::close(out_pipe[0]);
  ::close(err_pipe[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  return result;
}

std::vector<std::string> Sandbox::log_lines() const {
  static const std::regex prefix(R"(^\[ZoltApp\] (Sun|Mon|Tue|Wed|Thu|Fri|Sat) )"
                                 R"((Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) )"
                                 R"(\d\d \d\d:\d\d:\d\d \d{4}\t)");
  const std::string text = read_file(log_path());
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const auto end = text.find("\r\n", start);
    if (end == std::string::npos) throw std::runtime_error("log line without CR LF: " + text.substr(start));
    std::string line = text.substr(start, end - start);
    if (line.find('\n') != std::string::npos) throw std::runtime_error("bare line feed in log: " + line);
    std::smatch m;
    if (std::regex_search(line, m, prefix)) line = line.substr(m.length(0));
    else if (!line.empty()) throw std::runtime_error("log line without its prefix: " + line);
    lines.push_back(line);
    start = end + 2;
  }
  return lines;
}

void write_file(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool file_exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

void make_folder(const std::string& path) { fs::create_directories(path); }

std::string built_program(const std::string& name) { return std::string(OMBRIX_BIN_DIR) + "/" + name; }

}  // namespace ombrix_test

// Kernel process functions on the layer: children started with fork and exec,
// their handles, waits and exit codes.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cmdline.h"
#include "errors.h"
#include "handles.h"
#include "paths.h"
#include "posix_io.h"
#include "program_search.h"
#include "startup_channel.h"
#include "text.h"
#include "trace.h"
#include "winlayer/unique_fd.h"
#include "winlayer/kernel.h"
#include "winlayer/kernel_process.h"

extern char** environ;

namespace winlayer {
namespace {

// A started child: its pid until it is reaped, then its exit code.
class ChildProcess {
 public:
  ChildProcess(pid_t pid, UniqueFd exit_channel) : pid_(pid), exit_channel_(std::move(exit_channel)) {}
  // A child still running when its last handle closes runs on, as on Windows.
  ~ChildProcess() {
    std::lock_guard<std::mutex> lock(mutex_);
    reap(WNOHANG);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t pid() const { return pid_; }
  // True when the child ended within the time.
  bool wait(DWORD timeout);
  // STILL_ACTIVE while it runs.
  DWORD exit_code() {
    std::lock_guard<std::mutex> lock(mutex_);
    reap(WNOHANG);
    return code_;
  }

 private:
  bool reap(int options);  // with mutex_ held

  std::mutex mutex_;
  const pid_t pid_;
  UniqueFd exit_channel_;
  bool ended_ = false;
  DWORD code_ = STILL_ACTIVE;
};

bool ChildProcess::reap(int options) {
  if (ended_) return true;
  int status = 0;
  pid_t reaped;
  do {
    reaped = ::waitpid(pid_, &status, options);
  } while (reaped < 0 && errno == EINTR);
  if (reaped == 0) return false;
  DWORD reported = 0;
  const bool has_report = read_reported_exit_code(exit_channel_.get(), reported);
  // reaped < 0: the system reaped it (SIGCHLD ignored); only a reported code is known.
  code_ = reaped > 0 ? exit_code_from_status(status, has_report, reported) : has_report ? reported : 1;
  exit_channel_.reset();
  ended_ = true;
  return true;
}

bool ChildProcess::wait(DWORD timeout) {
  using namespace std::chrono;
  if (timeout == INFINITE) {
    siginfo_t info{};  // waits without reaping, so that no lock is held meanwhile
    while (::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
    }
    std::lock_guard<std::mutex> lock(mutex_);
    return reap(0);
  }
  const auto deadline = steady_clock::now() + milliseconds(timeout);
  for (microseconds pause(200);; pause = std::min<microseconds>(pause * 2, milliseconds(10))) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (reap(WNOHANG)) return true;
    }
    const auto now = steady_clock::now();
    if (now >= deadline) return false;
    std::this_thread::sleep_for(std::min<steady_clock::duration>(pause, deadline - now));
  }
}

class ProcessObject : public KernelObject {
 public:
  explicit ProcessObject(std::shared_ptr<ChildProcess> child) : child(std::move(child)) {}
  const std::shared_ptr<ChildProcess> child;
};

// The child's main thread; it ends with the process.
class ThreadObject : public KernelObject {
 public:
  explicit ThreadObject(std::shared_ptr<ChildProcess> child) : child(std::move(child)) {}
  const std::shared_ptr<ChildProcess> child;
};

std::shared_ptr<ChildProcess> child_of(HANDLE handle, bool threads_too) {
  const std::shared_ptr<KernelObject> object = lookup_handle(handle);
  if (auto* process = dynamic_cast<ProcessObject*>(object.get())) return process->child;
  if (auto* thread = dynamic_cast<ThreadObject*>(object.get()); thread != nullptr && threads_too) return thread->child;
  return nullptr;
}

// What one start needs, prepared before the fork.
struct StartRequest {
  std::string program;  // Linux path
  std::u16string command_line;
  std::vector<std::string> environment;  // without channel entries
  std::string folder;                    // Linux path; empty: the caller's
  bool hidden = false;
};

// Everything exec needs, as pointers, so that the forked child allocates nothing.
struct ExecPlan {
  const char* program;
  std::vector<char*> argv;
  std::vector<char*> envp;
  const char* folder;  // null: stay
  int null_fd;         // -1: keep the standard streams
};

// A fresh process starts with no blocked and no ignored signals, as on Windows.
void reset_signals() {
  sigset_t none;
  ::sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  for (int signal_number = 1; signal_number < NSIG; ++signal_number) {
    struct sigaction current {};
    if (::sigaction(signal_number, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) {
      ::signal(signal_number, SIG_DFL);
    }
  }
}

// In the forked child: only async-signal-safe calls until exec.
[[noreturn]] void run_child(const ExecPlan& plan, ChildChannel& channel, int report_fd) {
  channel.prepare_in_child(::getpid());
  reset_signals();
  if (plan.null_fd >= 0) {
    for (int fd = 0; fd < 3; ++fd) ::dup2(plan.null_fd, fd);
  }
  if (plan.folder == nullptr || ::chdir(plan.folder) == 0) ::execve(plan.program, plan.argv.data(), plan.envp.data());
  const int err = errno;
  write_all(report_fd, std::string_view(reinterpret_cast<const char*>(&err), sizeof err));
  ::_exit(127);
}

// Forks and execs; the pid, or -1 with the Windows error. The report pipe closes
// on a successful exec, or carries the errno of a failed one.
pid_t spawn(const ExecPlan& plan, ChildChannel& channel, DWORD& error) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    error = error_from_errno(errno, plan.program);
    return -1;
  }
  UniqueFd report_read(fds[0]);
  UniqueFd report_write(fds[1]);
  const pid_t pid = ::fork();
  if (pid == 0) run_child(plan, channel, report_write.get());
  if (pid < 0) {
    error = error_from_errno(errno, plan.program);
    return -1;
  }
  report_write.reset();
  channel.close_child_end();
  int child_errno = 0;
  if (read_some(report_read.get(), &child_errno, sizeof child_errno) != sizeof child_errno) return pid;
  while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
  error = error_from_errno(child_errno, plan.program);
  return -1;
}

std::vector<std::string> child_arguments(const std::u16string& command_line) {
  std::vector<std::string> argv;
  for (const auto& argument : split_command_line(command_line, Splitter::kRunTime)) argv.push_back(utf16_to_utf8(argument));
  return argv;
}

std::shared_ptr<ChildProcess> start(const StartRequest& request) {
  ChildChannel channel;
  UniqueFd null_fd(request.hidden ? ::open("/dev/null", O_RDWR | O_CLOEXEC) : -1);
  if (!channel.open(request.command_line) || (request.hidden && !null_fd.valid())) {
    set_error_from_errno(request.program);
    return nullptr;
  }
  std::vector<std::string> argv = child_arguments(request.command_line);
  std::vector<std::string> environment = request.environment;
  ExecPlan plan{request.program.c_str(), {}, {}, request.folder.empty() ? nullptr : request.folder.c_str(),
                null_fd.get()};
  for (auto& argument : argv) plan.argv.push_back(argument.data());
  plan.argv.push_back(nullptr);
  for (auto& entry : environment) plan.envp.push_back(entry.data());
  plan.envp.push_back(channel.command_line_entry().data());
  plan.envp.push_back(channel.exit_code_entry().data());
  plan.envp.push_back(nullptr);
  protect_exit_channel();
  DWORD error = ERROR_SUCCESS;
  const pid_t pid = spawn(plan, channel, error);
  if (pid < 0) {
    SetLastError(error);
    return nullptr;
  }
  return std::make_shared<ChildProcess>(pid, channel.take_read_end());
}

bool is_channel_entry(std::string_view entry) {
  const auto eq = entry.find('=');
  const std::string_view name = entry.substr(0, eq);
  return name == kCommandLineVariable || name == kExitCodeVariable;
}

// The caller's environment, or the block's "name=value" texts.
std::vector<std::string> child_environment(LPVOID block, DWORD flags) {
  std::vector<std::string> entries;
  const auto keep = [&entries](std::string entry) {
    if (!is_channel_entry(entry)) entries.push_back(std::move(entry));
  };
  if (block == nullptr) {
    for (char** e = environ; *e != nullptr; ++e) keep(*e);
  } else if ((flags & CREATE_UNICODE_ENVIRONMENT) != 0) {
    for (auto* p = static_cast<const char16_t*>(block); *p != u'\0'; p += std::char_traits<char16_t>::length(p) + 1) {
      keep(utf16_to_utf8(p));
    }
  } else {
    for (auto* p = static_cast<const char*>(block); *p != '\0'; p += std::char_traits<char>::length(p) + 1) keep(p);
  }
  return entries;
}

bool folder_of(LPCWSTR windows_folder, std::string& folder) {
  struct stat st {};
  return to_linux_path(std::u16string_view(windows_folder), folder) && ::stat(folder.c_str(), &st) == 0 &&
         S_ISDIR(st.st_mode);
}

bool is_hidden(const STARTUPINFOW& info) {
  return (info.dwFlags & STARTF_USESHOWWINDOW) != 0 && info.wShowWindow == SW_HIDE;
}

std::string show_name(const STARTUPINFOW& info) {
  static const char* const kNames[] = {"SW_HIDE", "SW_SHOWNORMAL", "SW_SHOWMINIMIZED", "SW_SHOWMAXIMIZED",
                                       "SW_SHOWNOACTIVATE", "SW_SHOW", "SW_MINIMIZE", "SW_SHOWMINNOACTIVE",
                                       "SW_SHOWNA", "SW_RESTORE", "SW_SHOWDEFAULT"};
  if ((info.dwFlags & STARTF_USESHOWWINDOW) == 0) return "default";
  return info.wShowWindow < std::size(kNames) ? kNames[info.wShowWindow] : std::to_string(info.wShowWindow);
}

// The program, folder and show state of a start; false with the last error set.
bool prepare(LPCWSTR application, LPCWSTR folder, const STARTUPINFOW& info, StartRequest& request) {
  DWORD error = ERROR_SUCCESS;
  request.program = application != nullptr ? find_named_program(application, error)
                                           : find_program(request.command_line, error);
  if (request.program.empty()) {
    SetLastError(error);
    return false;
  }
  if (folder != nullptr && !folder_of(folder, request.folder)) {
    SetLastError(ERROR_DIRECTORY);
    return false;
  }
  request.hidden = is_hidden(info);
  return true;
}

}  // namespace
}  // namespace winlayer

BOOL WINAPI CreateProcessW(LPCWSTR lpApplicationName, LPWSTR lpCommandLine, LPSECURITY_ATTRIBUTES,
                           LPSECURITY_ATTRIBUTES, BOOL /*bInheritHandles*/, DWORD dwCreationFlags,
                           LPVOID lpEnvironment, LPCWSTR lpCurrentDirectory, LPSTARTUPINFOW lpStartupInfo,
                           LPPROCESS_INFORMATION lpProcessInformation) {
  using namespace winlayer;
  if ((lpApplicationName == nullptr && lpCommandLine == nullptr) || lpStartupInfo == nullptr ||
      lpProcessInformation == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  StartRequest request;
  request.command_line = lpCommandLine != nullptr ? lpCommandLine : lpApplicationName;
  if (!prepare(lpApplicationName, lpCurrentDirectory, *lpStartupInfo, request)) return FALSE;
  request.environment = child_environment(lpEnvironment, dwCreationFlags);
  const std::shared_ptr<ChildProcess> child = start(request);
  if (child == nullptr) return FALSE;
  trace("process started: show=" + show_name(*lpStartupInfo) + " command line=" + utf16_to_utf8(request.command_line));
  lpProcessInformation->hProcess = register_handle(std::make_shared<ProcessObject>(child));
  lpProcessInformation->hThread = register_handle(std::make_shared<ThreadObject>(child));
  lpProcessInformation->dwProcessId = static_cast<DWORD>(child->pid());
  lpProcessInformation->dwThreadId = static_cast<DWORD>(child->pid());  // a main thread's id is its pid
  return TRUE;
}

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  const auto child = winlayer::child_of(hHandle, /*threads_too=*/true);
  if (child == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  return child->wait(dwMilliseconds) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

BOOL WINAPI GetExitCodeProcess(HANDLE hProcess, LPDWORD lpExitCode) {
  const auto child = winlayer::child_of(hProcess, /*threads_too=*/false);
  if (child == nullptr || lpExitCode == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  *lpExitCode = child->exit_code();
  return TRUE;
}

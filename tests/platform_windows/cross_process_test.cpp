// Windows across the processes of one logon session: a second process finds a
// window by its class, restores it and brings it to the foreground through this
// process's message loop; registered messages agree; a window of an ended
// process is gone. Neither side is held up by the other: connections that send
// nothing do not delay the owner's loop, another user's are closed at once, and
// an owner that never answers is given up on; a session folder that is not the
// user's own is refused.
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>

#include "case_name.h"
#include "folder_in_the_way.h"
#include "recorder.h"
#include "sandbox.h"
#include "temp_folder.h"

extern char** environ;

namespace window_test {
namespace {

struct ChildRun {
  int exit_code = -1;
  std::string out;
};

struct Child {
  pid_t pid = -1;
  int out = -1;  // its standard output
};

// Whether "NAME=value" names a variable that one of the entries sets.
bool names_variable_of(const std::vector<std::string>& entries, const std::string& variable) {
  const std::string name = variable.substr(0, variable.find('=') + 1);
  return std::any_of(entries.begin(), entries.end(),
                     [&](const std::string& entry) { return entry.compare(0, name.size(), name) == 0; });
}

// Starts the child program with this process's environment, the extra
// variables given in place of those of the same names.
Child start_child(const std::vector<std::string>& args, const std::vector<std::string>& extra_env = {}) {
  int out[2];
  if (::pipe(out) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::vector<std::string> all{WINDOW_CHILD_PROGRAM};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> env_text(extra_env);
  for (char** e = environ; *e != nullptr; ++e) {
    if (!names_variable_of(extra_env, *e)) env_text.push_back(*e);  // each name once
  }
  std::vector<char*> env;
  for (auto& e : env_text) env.push_back(e.data());
  env.push_back(nullptr);
  Child child;
  const int spawned = posix_spawn(&child.pid, argv[0], &actions, nullptr, argv.data(), env.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  if (spawned != 0) {
    ::close(out[0]);
    return {};
  }
  child.out = out[0];
  return child;
}

// Waits for the child while this process's message loop goes on, as the owner
// of a window must answer the child's requests. Bounded: a hang fails.
ChildRun finish_child(const Child& child) {
  ChildRun run;
  if (child.pid < 0) return run;
  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (::waitpid(child.pid, &status, WNOHANG) == 0) {
    pump();
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(child.pid, SIGKILL);
      ::waitpid(child.pid, &status, 0);
      ADD_FAILURE() << "the child program did not end in time";
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  char buffer[256];
  for (ssize_t n; (n = ::read(child.out, buffer, sizeof buffer)) > 0;) run.out.append(buffer, static_cast<std::size_t>(n));
  ::close(child.out);
  if (WIFEXITED(status)) run.exit_code = WEXITSTATUS(status);
  return run;
}

ChildRun run_child(const std::vector<std::string>& args, const std::vector<std::string>& extra_env = {}) {
  return finish_child(start_child(args, extra_env));
}

std::string handle_hex(HWND window) {
  char text[32];
  std::snprintf(text, sizeof text, "%lx", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(window)));
  return text;
}

bool has_line(const std::vector<std::string>& lines, const std::string& wanted) {
  return std::find(lines.begin(), lines.end(), wanted) != lines.end();
}

// A shown frame window of its own class, then minimised.
HWND minimised_frame(const WString& name) {
  WNDCLASSEXW wc{sizeof wc, 0, RecordingProc, 0, 0, program(), nullptr, nullptr, nullptr, nullptr, name.c_str(), nullptr};
  RegisterClassExW(&wc);
  HWND frame = CreateWindowExW(0, name.c_str(), TEXT("Frame"), WS_POPUP | WS_BORDER, 0, 0, 0, 0, nullptr, nullptr,
                               program(), nullptr);
  SetWindowPos(frame, HWND_TOP, 117, 112, 790, 544, SWP_SHOWWINDOW);
  ShowWindow(frame, SW_MINIMIZE);
  pump();
  return frame;
}

const char* alarm_text = "";

void on_alarm(int) {
  [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, alarm_text, std::strlen(alarm_text));
  std::_Exit(1);
}

// Ends the test program with the text when the steps that follow hang.
void arm_alarm(const char* text) {
  alarm_text = text;
  std::signal(SIGALRM, on_alarm);
  ::alarm(20);
}

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds since(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
}

// The first line the child prints, waited for at most 20 s.
std::string first_line(const Child& child) {
  std::string line;
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  for (char c; Clock::now() < deadline;) {
    pollfd descriptor{child.out, POLLIN, 0};
    if (::poll(&descriptor, 1, 100) != 1) continue;
    if (::read(child.out, &c, 1) != 1 || c == '\n') break;
    line += c;
  }
  return line;
}

void kill_child(const Child& child) {
  ::kill(child.pid, SIGKILL);
  ::waitpid(child.pid, nullptr, 0);
  ::close(child.out);
}

// The socket name that the window's record in the session folder gives its owner.
std::string owner_of(HWND window) {
  char name[16];
  std::snprintf(name, sizeof name, "0x%08lX", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(window)));
  std::ifstream record(machine_root() + "/machine.ini.logon/windows/" + name);
  std::string owner;
  std::getline(record, owner);
  return owner;
}

// The abstract socket address of the name, as the layer's owners use.
sockaddr_un abstract_address(const std::string& name, socklen_t& length) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  name.copy(address.sun_path + 1, sizeof address.sun_path - 2);
  length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
  return address;
}

// A connection to the owner's socket that sends nothing; -1 when refused.
int silent_connection(const std::string& owner) {
  const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  socklen_t length = 0;
  const sockaddr_un address = abstract_address(owner, length);
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0) return fd;
  ::close(fd);
  return -1;
}

// A child process of the user that connects to the owner, sends nothing, and
// ends with 0 when the owner closes the connection within a second, 1 when it
// is still open then, 2 when it could not connect.
Child probe_connection(const std::string& owner, uid_t user) {
  Child child;
  child.pid = ::fork();
  if (child.pid != 0) return child;
  if (::setgid(user) != 0 || ::setuid(user) != 0) ::_exit(3);
  const int fd = silent_connection(owner);
  if (fd < 0) ::_exit(2);
  pollfd descriptor{fd, POLLIN, 0};
  char byte;
  ::_exit(::poll(&descriptor, 1, 1000) == 1 && ::recv(fd, &byte, 1, 0) <= 0 ? 0 : 1);
}

TEST(CrossProcess, ASecondProcessRestoresAMinimisedWindowAndBringsItToTheForeground) {
  static const WString name = TEXT("window_test.cross.frame");
  HWND frame = minimised_frame(name);
  HWND other = CreateWindowExW(0, recording_class(), nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                               program(), nullptr);
  SetForegroundWindow(other);
  ASSERT_TRUE(IsIconic(frame));
  pump();
  received().clear();

  const ChildRun run = run_child({"find", "WINDOW_TEST.cross.FRAME"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out, handle_hex(frame) + " 1 1\n");
  EXPECT_FALSE(IsIconic(frame));
  EXPECT_EQ(GetForegroundWindow(), frame);
  RECT r{};
  GetWindowRect(frame, &r);
  EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>{117, 112, 907, 656}));
  // The same messages as a restore in this process.
  const auto got = messages_of(frame);
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got.front(), static_cast<UINT>(WM_QUERYOPEN));
  bool restored_size = false;
  for (const auto& m : received()) restored_size |= m.window == frame && m.message == WM_SIZE && m.wParam == SIZE_RESTORED;
  EXPECT_TRUE(restored_size);
  // The owner's trace tells what a user saw.
  const auto lines = trace_lines();
  char handle[16];
  std::snprintf(handle, sizeof handle, "0x%08lX", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(frame)));
  for (const char* event : {"restored", "foreground"}) {
    EXPECT_TRUE(has_line(lines, std::string("window ") + event + ": window_test.cross.frame " + handle)) << event;
  }
  DestroyWindow(frame);
  DestroyWindow(other);
  EXPECT_EQ(run_child({"find", "window_test.cross.frame"}).exit_code, 3);
}

TEST(CrossProcess, GetMessageWakesForTheRequestOfAnotherProcess) {
  HWND frame = minimised_frame(TEXT("window_test.cross.waiting"));
  const Child child = start_child({"find", "window_test.cross.waiting"});
  ASSERT_GE(child.pid, 0);
  // GetMessageW sleeps until the request comes; a hang ends the test program.
  arm_alarm("GetMessageW did not wake for the other process's request\n");
  MSG msg;
  while (IsIconic(frame) && GetMessageW(&msg, nullptr, 0, 0)) DispatchMessageW(&msg);
  ::alarm(0);
  EXPECT_FALSE(IsIconic(frame));
  EXPECT_EQ(finish_child(child).exit_code, 0);
  DestroyWindow(frame);
}

TEST(CrossProcess, ScreenMetricsHaveTheirDefaultsWithoutAProfile) {
  EXPECT_EQ(run_child({"metrics", "-"}, {"WINLAYER_MACHINE="}).out, "1920 1080\n");
}

TEST(CrossProcess, RegisteredMessagesHaveOneIdInEveryProcessOfTheSession) {
  const UINT here = RegisterWindowMessageW(TEXT("com.example.shared"));
  const ChildRun run = run_child({"register", "COM.EXAMPLE.SHARED"});
  EXPECT_EQ(run.out, std::to_string(here) + "\n");
  const ChildRun fresh = run_child({"register", "com.example.only-there"});
  EXPECT_EQ(RegisterWindowMessageW(TEXT("com.example.only-there")), std::stoul(fresh.out));
}

TEST(CrossProcess, AWindowOfAnEndedProcessIsGone) {
  const ChildRun run = run_child({"create", "window_test.crashed"});
  ASSERT_EQ(run.exit_code, 0);
  HWND window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::stoul(run.out, nullptr, 16)));
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(FindWindowW(TEXT("window_test.crashed"), nullptr), nullptr);
  EXPECT_FALSE(ShowWindow(window, SW_RESTORE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
}

TEST(CrossProcess, ConnectionsThatSendNothingDoNotHoldUpTheMessageLoop) {
  static const WString name = TEXT("window_test.cross.silent");
  HWND frame = minimised_frame(name);
  const std::string owner = owner_of(frame);
  ASSERT_FALSE(owner.empty());
  std::vector<int> silent;
  for (WPARAM round = 0; round < 4; ++round) {
    for (int i = 0; i < 8; ++i) silent.push_back(silent_connection(owner));
    ASSERT_NE(silent.back(), -1);
    received().clear();
    PostMessageW(frame, WM_USER + 7, round, 0);
    const auto start = Clock::now();
    pump();
    EXPECT_LT(since(start).count(), 500) << "round " << round;
    EXPECT_EQ(messages_of(frame), std::vector<UINT>{WM_USER + 7}) << "round " << round;
  }
  // A request still comes through while they stay open.
  const ChildRun run = run_child({"find", "window_test.cross.silent"});
  EXPECT_EQ(run.out, handle_hex(frame) + " 1 1\n");
  EXPECT_FALSE(IsIconic(frame));
  for (int fd : silent) ::close(fd);
  DestroyWindow(frame);
}

TEST(CrossProcess, TheOwnerClosesAConnectionOfAnotherUserAtOnce) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can connect as another user";
  HWND frame = minimised_frame(TEXT("window_test.cross.foreign"));
  const std::string owner = owner_of(frame);
  ASSERT_FALSE(owner.empty());
  struct {
    const char* label;
    uid_t user;
    int exit_code;
  } const cases[] = {{"another user: closed", 65534, 0}, {"this user: waited for", ::geteuid(), 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(finish_child(probe_connection(owner, c.user)).exit_code, c.exit_code);
  }
  EXPECT_TRUE(IsIconic(frame));
  DestroyWindow(frame);
}

TEST(CrossProcess, AnOwnerThatNeverAnswersIsTakenForGoneInBoundedTime) {
  const Child child = start_child({"hang", "window_test.cross.hung"});
  ASSERT_GE(child.pid, 0);
  const std::string line = first_line(child);
  ASSERT_FALSE(line.empty());
  HWND window = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::stoul(line, nullptr, 16)));
  EXPECT_EQ(FindWindowW(TEXT("window_test.cross.hung"), nullptr), window);  // its process runs
  arm_alarm("a request to an owner that never answers did not end\n");
  const auto start = Clock::now();
  SetLastError(0);
  EXPECT_FALSE(ShowWindow(window, SW_RESTORE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  EXPECT_FALSE(SetForegroundWindow(window));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  ::alarm(0);
  EXPECT_LT(since(start).count(), 6000);
  kill_child(child);
}

TEST(CrossProcess, ARecordWhoseOwnerIsNotALayerProcessIsNotTaken) {
  // A listener that is not a window owner of the layer, named in a record.
  const int listener = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
  socklen_t length = 0;
  const sockaddr_un address = abstract_address("window-test-listener", length);
  ASSERT_EQ(::bind(listener, reinterpret_cast<const sockaddr*>(&address), length), 0);
  ASSERT_EQ(::listen(listener, 4), 0);
  for (const char* folder : {"/machine.ini.logon", "/machine.ini.logon/windows"}) {
    ::mkdir((machine_root() + folder).c_str(), 0700);  // as the layer makes them, if no window has yet
  }
  ombrix_test::write_file(machine_root() + "/machine.ini.logon/windows/0x7FFF0000",
                          "window-test-listener\nwindow_test.cross.planted\n\n");
  EXPECT_EQ(FindWindowW(TEXT("window_test.cross.planted"), nullptr), nullptr);
  EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(static_cast<ULONG_PTR>(0x7FFF0000))));
  ::close(listener);
}

// What another user could have put at the session folder's path (the profile's
// path + ".logon") before a program of the session starts.
class RefusedSession : public ::testing::TestWithParam<ombrix_test::FolderInTheWay> {};

TEST_P(RefusedSession, NoWindowOrMessageIsMadeAndNothingIsWrittenThroughIt) {
  if (GetParam().needs_root && ::geteuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
  const ombrix_test::TempFolder root("window-session");
  const std::string profile = root.file("machine.ini");
  ombrix_test::write_file(profile, "[system]\n");
  ombrix_test::make_folder(root.file("elsewhere"));
  GetParam().make(profile + ".logon", root.file("elsewhere"));
  const std::vector<std::string> env{"WINLAYER_MACHINE=" + profile};
  const ChildRun created = run_child({"create", "window_test.cross.refused"}, env);
  EXPECT_EQ(created.exit_code, 4);
  EXPECT_EQ(created.out, "error 5\n");
  EXPECT_EQ(run_child({"register", "com.example.refused"}, env).out, "0\n");
  EXPECT_FALSE(ombrix_test::file_exists(root.file("elsewhere/handles")));
  EXPECT_FALSE(ombrix_test::file_exists(root.file("elsewhere/atoms")));
}

INSTANTIATE_TEST_SUITE_P(InThePlaceOfTheSessionFolder, RefusedSession,
                         ::testing::ValuesIn(ombrix_test::folders_in_the_way()),
                         ombrix_test::case_name<ombrix_test::FolderInTheWay>);

}  // namespace
}  // namespace window_test

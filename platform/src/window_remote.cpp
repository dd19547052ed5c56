// Top-level windows seen by the other processes of the logon session: each is a
// record file in the session's window folder, and its owner answers requests on
// a socket of its own, in its message loop, so that they are carried out on the
// thread that owns the window. A process that has ended answers no connection,
// and its records are then removed by whoever finds them.
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <functional>
#include <fstream>
#include <set>
#include <sstream>

#include "profile.h"
#include "text.h"
#include "winlayer/unique_fd.h"
#include "window_manager.h"
#include "winlayer/kernel.h"

namespace winlayer {
namespace {

struct Request {
  std::uint32_t operation;
  std::uint64_t handle;
  std::int32_t argument;
};
struct Reply {
  std::int32_t found;
  std::int32_t result;
};

struct Record {
  std::string owner;  // the owner's socket name
  std::u16string class_name;
  std::u16string title;
};

std::string folder() { return profile().logon_session + ".windows"; }
std::string record_path(HWND handle) { return folder() + "/" + handle_text(handle); }

// The process's start time tells it from a later process with the same id.
std::string process_start_time() {
  std::ifstream in("/proc/self/stat");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  for (int i = 3; i <= 22 && fields >> field; ++i) {
  }
  return field;
}

const std::string& own_socket_name() {
  static const std::string name = "winlayer-windows-" + std::to_string(::getpid()) + "-" + process_start_time();
  return name;
}

sockaddr_un socket_address(const std::string& name, socklen_t& length) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  // An abstract name (a leading NUL) goes with the process that holds it.
  name.copy(address.sun_path + 1, sizeof address.sun_path - 2);
  length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
  return address;
}

struct Published {
  UniqueFd listener;
  std::set<HWND> handles;
};

Published& published() {
  static auto* instance = new Published;
  return *instance;
}

void withdraw_all() {
  for (HWND handle : published().handles) ::unlink(record_path(handle).c_str());
}

bool listen_for_requests() {
  if (published().listener.valid()) return true;
  UniqueFd fd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  socklen_t length = 0;
  const sockaddr_un address = socket_address(own_socket_name(), length);
  if (!fd.valid() || ::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), length) != 0 ||
      ::listen(fd.get(), 16) != 0) {
    return false;
  }
  published().listener = std::move(fd);
  std::atexit(withdraw_all);
  return true;
}

// Connects a new socket to the owner: 0, or the errno of the failure.
int connect_owner(const std::string& owner, int flags, UniqueFd& fd) {
  fd = UniqueFd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC | flags, 0));
  socklen_t length = 0;
  const sockaddr_un address = socket_address(owner, length);
  if (!fd.valid() || ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), length) != 0) return errno;
  return 0;
}

UniqueFd connect_to(const std::string& owner) {
  UniqueFd fd;
  if (connect_owner(owner, 0, fd) != 0) fd.reset();
  return fd;
}

// Whether the owner still runs: only a process that has ended refuses. An owner
// whose queue of connections is full is busy, not gone, and is not waited for.
bool owner_alive(const std::string& owner) {
  UniqueFd fd;
  const int error = connect_owner(owner, SOCK_NONBLOCK, fd);
  return error == 0 || error == EAGAIN;
}

bool read_record(const std::string& path, Record& record) {
  std::ifstream in(path);
  std::string class_name, title;
  if (!std::getline(in, record.owner) || !std::getline(in, class_name) || !std::getline(in, title)) return false;
  record.class_name = utf8_to_utf16(class_name);
  record.title = utf8_to_utf16(title);
  return true;
}

// The record of a window of a live process of the session; a record whose
// process has gone is removed.
bool live_record(HWND handle, Record& record) {
  const std::string path = record_path(handle);
  if (!read_record(path, record) || record.owner == own_socket_name()) return false;
  if (owner_alive(record.owner)) return true;
  ::unlink(path.c_str());
  return false;
}

bool matches(const std::u16string& value, LPCWSTR wanted) {
  return wanted == nullptr || equal_ignoring_case(value, wanted);
}

std::vector<HWND> recorded_handles() {
  std::vector<HWND> handles;
  DIR* dir = ::opendir(folder().c_str());
  if (dir == nullptr) return handles;
  while (const dirent* entry = ::readdir(dir)) {
    const unsigned long long number = std::strtoull(entry->d_name, nullptr, 16);
    if (number != 0) handles.push_back(reinterpret_cast<HWND>(static_cast<ULONG_PTR>(number)));
  }
  ::closedir(dir);
  return handles;
}

Reply carry_out(const Request& request) {
  Window* window = find_window(reinterpret_cast<HWND>(static_cast<ULONG_PTR>(request.handle)));
  if (window == nullptr) return Reply{0, FALSE};
  if (request.operation == kRemoteShow) return Reply{1, show_window(window->handle, request.argument)};
  activate(window->handle);
  return Reply{1, TRUE};
}

// One request a connection; a connection that closes without one only asked
// whether this process is alive.
void answer(int connection) {
  pollfd descriptor{connection, POLLIN, 0};
  Request request{};
  if (::poll(&descriptor, 1, 1000) != 1 || ::recv(connection, &request, sizeof request, 0) != sizeof request) return;
  const Reply reply = carry_out(request);
  [[maybe_unused]] const ssize_t sent = ::send(connection, &reply, sizeof reply, MSG_NOSIGNAL);
}

}  // namespace

void publish_window(const Window& window) {
  if (::mkdir(folder().c_str(), 0700) != 0 && errno != EEXIST) return;
  if (!listen_for_requests()) return;
  const std::string path = record_path(window.handle);
  const std::string temporary = path + ".new";
  {
    std::ofstream out(temporary, std::ios::trunc);
    out << own_socket_name() << "\n"
        << utf16_to_utf8(window.window_class->name) << "\n"
        << utf16_to_utf8(window.title) << "\n";
    if (!out) return;
  }
  if (::rename(temporary.c_str(), path.c_str()) == 0) published().handles.insert(window.handle);
}

void withdraw_window(HWND handle) {
  if (published().handles.erase(handle) != 0) ::unlink(record_path(handle).c_str());
}

bool remote_window_exists(HWND handle) {
  Record record;
  return handle != nullptr && live_record(handle, record);
}

bool remote_request(HWND handle, int operation, int argument, BOOL& result) {
  Record record;
  if (handle == nullptr || !live_record(handle, record)) return false;
  UniqueFd connection = connect_to(record.owner);
  const Request request{static_cast<std::uint32_t>(operation), reinterpret_cast<ULONG_PTR>(handle), argument};
  Reply reply{};
  if (!connection.valid() || ::send(connection.get(), &request, sizeof request, MSG_NOSIGNAL) != sizeof request ||
      ::recv(connection.get(), &reply, sizeof reply, 0) != sizeof reply || reply.found == 0) {
    return false;
  }
  result = reply.result;
  return true;
}

int remote_requests_descriptor() { return published().listener.get(); }

void handle_remote_requests() {
  if (!published().listener.valid()) return;
  for (;;) {
    UniqueFd connection(::accept4(published().listener.get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (!connection.valid()) return;
    answer(connection.get());
  }
}

}  // namespace winlayer

using winlayer::Window;

HWND WINAPI FindWindowW(LPCWSTR lpClassName, LPCWSTR lpWindowName) {
  for (HWND handle : winlayer::top_level_windows()) {
    const Window& w = *winlayer::find_window(handle);
    if (winlayer::matches(w.window_class->name, lpClassName) && winlayer::matches(w.title, lpWindowName)) return handle;
  }
  auto handles = winlayer::recorded_handles();
  // Handles count up, so the most recently created window comes first.
  std::sort(handles.begin(), handles.end(), std::greater<HWND>());
  for (HWND handle : handles) {
    winlayer::Record record;
    if (winlayer::find_window(handle) == nullptr && winlayer::live_record(handle, record) &&
        winlayer::matches(record.class_name, lpClassName) && winlayer::matches(record.title, lpWindowName)) {
      return handle;
    }
  }
  return nullptr;
}

// Top-level windows seen by the other processes of the logon session: each is a
// record file in the session folder's windows folder, and its owner answers
// requests on a socket of its own, in its message loop, so that they are carried
// out on the thread that owns the window. A process that has ended answers no
// connection, and its records are then removed by whoever finds them. Neither
// side waits on the other without bound: the owner takes connections and
// requests only as they arrive, and only from processes of its own user; a
// requester takes an owner that does not answer in time for gone.
#include <poll.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <deque>
#include <functional>
#include <fstream>
#include <set>
#include <sstream>

#include "private_folder.h"
#include "text.h"
#include "winlayer/unique_fd.h"
#include "window_manager.h"
#include "winlayer/kernel.h"

namespace winlayer {
namespace {

using Clock = std::chrono::steady_clock;

// How long a requester waits for the owner's reply, and the owner for the
// request of a connection it has taken.
constexpr auto kAnswerBound = std::chrono::seconds(2);
// Connections whose request has not come yet; past this the oldest is dropped.
constexpr std::size_t kWaitingLimit = 16;
// Connections taken in one turn of the message loop; the rest wait for the next.
constexpr int kAcceptsPerTurn = 32;
// A record: the owner's name, the class and the title, each a line.
constexpr std::size_t kRecordLimit = 64 * 1024;

// The request and its reply: the same bytes in 32- and 64-bit programs.
struct Request {
  RemoteRequest kind;
  std::int32_t argument;
  std::uint64_t handle;
};
static_assert(sizeof(Request) == 16 && offsetof(Request, argument) == 4 && offsetof(Request, handle) == 8,
              "a request has one layout in every program of the session");
struct Reply {
  std::int32_t found;
  std::int32_t result;
};
static_assert(sizeof(Reply) == 8 && offsetof(Reply, result) == 4, "a reply has one layout in every program");

struct Record {
  std::string owner;  // the owner's socket name
  std::u16string class_name;
  std::u16string title;
};

PrivateFolder windows_folder() { return session_folder().open_folder("windows"); }

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

constexpr std::string_view kSocketPrefix = "winlayer-windows-";

const std::string& own_socket_name() {
  static const std::string name =
      std::string(kSocketPrefix) + std::to_string(::getpid()) + "-" + process_start_time();
  return name;
}

bool is_number(std::string_view text) {
  return !text.empty() && text.size() <= 20 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Whether the name is one that own_socket_name() gives: the prefix, the
// process id and its start time.
bool is_socket_name(std::string_view name) {
  if (name.substr(0, kSocketPrefix.size()) != kSocketPrefix) return false;
  const std::string_view rest = name.substr(kSocketPrefix.size());
  const std::size_t dash = rest.find('-');
  return dash != std::string_view::npos && is_number(rest.substr(0, dash)) && is_number(rest.substr(dash + 1));
}

// The handle a record's file name gives, as handle_text() writes it; null for
// any other name.
HWND handle_of(std::string_view name) {
  if (name.size() != 10 || name.substr(0, 2) != "0x") return nullptr;
  const bool hex = std::all_of(name.begin() + 2, name.end(),
                               [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
  return hex ? reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::strtoul(name.data() + 2, nullptr, 16))) : nullptr;
}

sockaddr_un socket_address(const std::string& name, socklen_t& length) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  // An abstract name (a leading NUL) goes with the process that holds it.
  name.copy(address.sun_path + 1, sizeof address.sun_path - 2);
  length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
  return address;
}

// Whether the process at the other end runs as this process's user.
bool peer_is_own_user(int socket) {
  ucred credentials{};
  socklen_t size = sizeof credentials;
  return ::getsockopt(socket, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 && credentials.uid == ::geteuid();
}

struct Waiting {
  UniqueFd connection;
  Clock::time_point since;
};

struct Published {
  UniqueFd listener;
  UniqueFd readiness;          // epoll: the listener and the waiting connections
  std::deque<Waiting> waiting;  // taken connections whose request has not come, oldest first
  std::set<HWND> handles;
};

Published& published() {
  static auto* instance = new Published;
  return *instance;
}

void withdraw_all() {
  const PrivateFolder windows = windows_folder();
  for (HWND handle : published().handles) windows.remove_file(handle_text(handle));
}

bool watch(int descriptor) {
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.fd = descriptor;
  return ::epoll_ctl(published().readiness.get(), EPOLL_CTL_ADD, descriptor, &event) == 0;
}

bool listen_for_requests() {
  Published& p = published();
  if (p.listener.valid()) return true;
  UniqueFd fd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  socklen_t length = 0;
  const sockaddr_un address = socket_address(own_socket_name(), length);
  if (!fd.valid() || ::bind(fd.get(), reinterpret_cast<const sockaddr*>(&address), length) != 0 ||
      ::listen(fd.get(), 16) != 0) {
    return false;
  }
  p.readiness = UniqueFd(::epoll_create1(EPOLL_CLOEXEC));
  if (!p.readiness.valid() || !watch(fd.get())) return false;
  p.listener = std::move(fd);
  std::atexit(withdraw_all);
  return true;
}

// Connects a new socket to the owner without waiting: 0, or the errno of the
// failure; EACCES when the name is held by a process of another user.
int connect_owner(const std::string& owner, UniqueFd& fd) {
  fd = UniqueFd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  socklen_t length = 0;
  const sockaddr_un address = socket_address(owner, length);
  if (!fd.valid() || ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), length) != 0) return errno;
  return peer_is_own_user(fd.get()) ? 0 : EACCES;
}

// Whether the owner still runs: only a process that has ended refuses. An owner
// whose queue of connections is full is busy, not gone, and is not waited for.
bool owner_alive(const std::string& owner) {
  UniqueFd fd;
  const int error = connect_owner(owner, fd);
  return error == 0 || error == EAGAIN;
}

// A record as publish_window() writes it; anything else is not taken.
bool read_record(const PrivateFolder& windows, const std::string& name, Record& record) {
  std::string text;
  if (!windows.read_file(name, kRecordLimit, text)) return false;
  std::string_view lines[3];
  std::string_view rest(text);
  for (auto& line : lines) {
    const std::size_t end = rest.find('\n');
    if (end == std::string_view::npos) return false;
    line = rest.substr(0, end);
    rest.remove_prefix(end + 1);
  }
  if (!is_socket_name(lines[0])) return false;
  record.owner = std::string(lines[0]);
  record.class_name = utf8_to_utf16(lines[1]);
  record.title = utf8_to_utf16(lines[2]);
  return true;
}

// The record of a window of a live process of the session; a record whose
// process has gone is removed.
bool live_record(HWND handle, Record& record) {
  const PrivateFolder windows = windows_folder();
  const std::string name = handle_text(handle);
  if (!read_record(windows, name, record) || record.owner == own_socket_name()) return false;
  if (owner_alive(record.owner)) return true;
  windows.remove_file(name);
  return false;
}

bool matches(const std::u16string& value, LPCWSTR wanted) {
  return wanted == nullptr || equal_ignoring_case(value, wanted);
}

std::vector<HWND> recorded_handles() {
  std::vector<HWND> handles;
  for (const std::string& name : windows_folder().names()) {
    if (HWND handle = handle_of(name)) handles.push_back(handle);
  }
  return handles;
}

// Waits for the owner's reply, at most kAnswerBound.
bool receive_reply(int connection, Reply& reply) {
  const auto deadline = Clock::now() + kAnswerBound;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd descriptor{connection, POLLIN, 0};
    const int ready = ::poll(&descriptor, 1, left > 0 ? static_cast<int>(left) : 0);
    if (ready < 0 && errno == EINTR) continue;
    return ready == 1 && ::recv(connection, &reply, sizeof reply, MSG_DONTWAIT) == sizeof reply;
  }
}

// What a request does, for a window this process has published.
Reply carry_out(const Request& request) {
  const HWND handle = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(request.handle));
  if (published().handles.count(handle) == 0 || find_window(handle) == nullptr) return Reply{0, FALSE};
  switch (request.kind) {
    case RemoteRequest::kShow: return Reply{1, show_window(handle, request.argument)};
    case RemoteRequest::kForeground: activate(handle); return Reply{1, TRUE};
  }
  return Reply{0, FALSE};
}

// Takes the connections that have arrived; those of other users are closed at
// once, without a word.
void accept_connections() {
  Published& p = published();
  for (int i = 0; i < kAcceptsPerTurn; ++i) {
    UniqueFd connection(::accept4(p.listener.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
    if (!connection.valid()) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      return;
    }
    if (!peer_is_own_user(connection.get()) || !watch(connection.get())) continue;
    p.waiting.push_back(Waiting{std::move(connection), Clock::now()});
    if (p.waiting.size() > kWaitingLimit) p.waiting.pop_front();
  }
}

struct Arrived {
  UniqueFd connection;
  Request request;
};

// The requests that have come, their connections out of the waiting list; a
// connection that closed, sent something else or waited too long is dropped. A
// connection that closes without a request only asked whether this process is
// alive.
std::vector<Arrived> take_requests() {
  std::vector<Arrived> arrived;
  auto& waiting = published().waiting;
  const auto now = Clock::now();
  for (auto it = waiting.begin(); it != waiting.end();) {
    Request request{};
    const ssize_t n = ::recv(it->connection.get(), &request, sizeof request, MSG_DONTWAIT);
    const bool pending = n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR);
    if (pending && now - it->since < kAnswerBound) {
      ++it;
      continue;
    }
    if (n == static_cast<ssize_t>(sizeof request)) arrived.push_back(Arrived{std::move(it->connection), request});
    it = waiting.erase(it);
  }
  return arrived;
}

}  // namespace

void publish_window(const Window& window) {
  const PrivateFolder windows = windows_folder();
  if (!windows.valid() || !listen_for_requests()) return;
  const std::string record = own_socket_name() + "\n" + utf16_to_utf8(window.window_class->name) + "\n" +
                             utf16_to_utf8(window.title) + "\n";
  if (windows.replace_file(handle_text(window.handle), record)) published().handles.insert(window.handle);
}

void withdraw_window(HWND handle) {
  if (published().handles.erase(handle) != 0) windows_folder().remove_file(handle_text(handle));
}

bool remote_window_exists(HWND handle) {
  Record record;
  return handle != nullptr && live_record(handle, record);
}

bool remote_request(HWND handle, RemoteRequest kind, int argument, BOOL& result) {
  Record record;
  if (handle == nullptr || !live_record(handle, record)) return false;
  UniqueFd connection;
  const Request request{kind, argument, reinterpret_cast<ULONG_PTR>(handle)};
  Reply reply{};
  if (connect_owner(record.owner, connection) != 0 ||
      ::send(connection.get(), &request, sizeof request, MSG_NOSIGNAL) != static_cast<ssize_t>(sizeof request) ||
      !receive_reply(connection.get(), reply) || reply.found == 0) {
    return false;
  }
  result = reply.result;
  return true;
}

int remote_requests_descriptor() { return published().readiness.get(); }

void handle_remote_requests() {
  Published& p = published();
  if (!p.listener.valid()) return;
  pollfd descriptor{p.readiness.get(), POLLIN, 0};
  if (::poll(&descriptor, 1, 0) == 1) accept_connections();
  // Carried out once out of the list: a window procedure may take messages, and
  // so come back here, while it runs.
  for (const Arrived& a : take_requests()) {
    const Reply reply = carry_out(a.request);
    [[maybe_unused]] const ssize_t sent =
        ::send(a.connection.get(), &reply, sizeof reply, MSG_NOSIGNAL | MSG_DONTWAIT);
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

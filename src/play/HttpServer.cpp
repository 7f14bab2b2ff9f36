// A loopback HTTP/1.1 server of files: one thread polls the listening
// socket and every connection, reads request heads, and sends answers from
// memory or with sendfile, never blocking on a client.
#include "play/HttpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/sendfile.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <system_error>
#include <thread>

#include "play/HttpAnswer.h"

namespace movara::play {

namespace {

using Clock = std::chrono::steady_clock;
// An idle connection goes after this; a request's head must arrive whole
// within the second; an answer that makes no progress goes after the third.
constexpr auto kIdle = std::chrono::seconds(2);
constexpr auto kHeadDeadline = std::chrono::seconds(5);
constexpr auto kSendStall = std::chrono::seconds(10);
constexpr std::size_t kReadChunk = 16 * 1024;
constexpr std::size_t kSendChunk = 1 << 20;

[[noreturn]] void Fail(const char* what) { throw std::system_error(errno, std::generic_category(), what); }

// As many connections as the descriptors allow, with room for the rest of
// the program. The limit is the program's to set, not a server's: beyond
// it the idlest connection gives way.
std::size_t ConnectionLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return 64;
  return limit.rlim_cur > 128 ? std::min<std::size_t>(1024, limit.rlim_cur - 64) : 64;
}

struct TConnection {
  explicit TConnection(int fd) : Fd(fd), Waiting(Clock::now()), Progress(Waiting) {}
  ~TConnection() { ::close(Fd); }
  TConnection(const TConnection&) = delete;
  TConnection& operator=(const TConnection&) = delete;

  // When it is given up: an answer that stalls, an idle connection, a head
  // that takes too long.
  Clock::time_point Deadline() const {
    if (Sending) return Progress + kSendStall;
    return Waiting + (In.empty() ? std::chrono::duration_cast<Clock::duration>(kIdle) : kHeadDeadline);
  }

  int Fd;
  std::string In;                // read, not yet answered
  Clock::time_point Waiting;     // since when the next head is awaited
  bool Sending = false;
  std::string Out;               // the answer's head
  std::size_t OutSent = 0;
  THttpAnswer Body;              // the answer's body, from BodyAt for BodyLeft bytes
  std::uint64_t BodyAt = 0, BodyLeft = 0;
  bool CloseAfter = false;
  Clock::time_point Progress;
};

}  // namespace

struct THttpServer::TState {
  THandler Handler;
  TFields Fields;
  int Listener = -1, WakeRead = -1, WakeWrite = -1;
  int Port = 0;
  std::size_t MaxConnections = ConnectionLimit();
  std::vector<std::unique_ptr<TConnection>> Connections;
  std::thread Loop;

  ~TState() {
    for (const int fd : {Listener, WakeRead, WakeWrite}) {
      if (fd >= 0) ::close(fd);
    }
  }

  void Listen();
  void Run();
  int PollTimeout() const;
  bool AcceptAll();
  bool MakeRoom();
  bool Serve(TConnection& c, short events);
  bool ReadFrom(TConnection& c);
  bool AnswerHeads(TConnection& c);
  void StartAnswer(TConnection& c, const THttpRequest* request, THttpAnswer answer);
  bool SendTo(TConnection& c);
  bool SendAnswer(TConnection& c);
  bool SendBody(TConnection& c);
};

void THttpServer::TState::Listen() {
  Listener = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (Listener < 0) Fail("socket");
  const int on = 1;
  ::setsockopt(Listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (::bind(Listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) Fail("bind");
  if (::listen(Listener, SOMAXCONN) != 0) Fail("listen");
  if (::getsockname(Listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) Fail("getsockname");
  Port = ntohs(address.sin_port);
  int wake[2];
  if (::pipe2(wake, O_NONBLOCK | O_CLOEXEC) != 0) Fail("pipe2");
  WakeRead = wake[0];
  WakeWrite = wake[1];
}

int THttpServer::TState::PollTimeout() const {
  auto next = Clock::now() + std::chrono::seconds(1);
  for (const auto& c : Connections) next = std::min(next, c->Deadline());
  const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now()).count();
  return static_cast<int>(std::clamp<long long>(wait + 1, 0, 1000));
}

void THttpServer::TState::Run() {
  // A client that goes while an answer is sent must not end the program.
  sigset_t pipe;
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
  std::vector<pollfd> fds;
  // A connection left waiting in the backlog (no room for it) would wake
  // every poll at once: the listener is left out until a connection has
  // moved on or gone.
  bool acceptBlocked = false;
  for (;;) {
    fds.assign({{WakeRead, POLLIN, 0}, {Listener, static_cast<short>(acceptBlocked ? 0 : POLLIN), 0}});
    for (const auto& c : Connections) fds.push_back({c->Fd, static_cast<short>(c->Sending ? POLLOUT : POLLIN), 0});
    if (::poll(fds.data(), fds.size(), PollTimeout()) < 0 && errno != EINTR) return;
    if (fds[0].revents != 0) return;
    const auto now = Clock::now();
    std::vector<std::unique_ptr<TConnection>> kept;
    bool moved = false;
    for (std::size_t i = 0; i < Connections.size(); ++i) {
      TConnection& c = *Connections[i];
      moved = moved || fds[i + 2].revents != 0;
      const bool gone = (fds[i + 2].revents != 0 && !Serve(c, fds[i + 2].revents)) || now >= c.Deadline();
      if (!gone) kept.push_back(std::move(Connections[i]));
    }
    if (moved || kept.size() < Connections.size()) acceptBlocked = false;
    Connections = std::move(kept);
    if ((fds[1].revents & POLLIN) != 0) acceptBlocked = !AcceptAll();
  }
}

// Takes the connections waiting; false when one is left waiting for room.
bool THttpServer::TState::AcceptAll() {
  for (;;) {
    if (Connections.size() >= MaxConnections && !MakeRoom()) return false;
    const int fd = ::accept4(Listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      // Out of descriptors: the connection waits in the backlog until an
      // idle one goes.
      if (errno == EMFILE || errno == ENFILE) {
        if (MakeRoom()) continue;
        return false;
      }
      return true;
    }
    Connections.push_back(std::make_unique<TConnection>(fd));
  }
}

// Closes the connection that has waited longest for a request; false when
// every connection is busy sending.
bool THttpServer::TState::MakeRoom() {
  const auto idlest = std::min_element(Connections.begin(), Connections.end(), [](const auto& a, const auto& b) {
    if (a->Sending != b->Sending) return !a->Sending;
    return a->Waiting < b->Waiting;
  });
  if (idlest == Connections.end() || (*idlest)->Sending) return false;
  Connections.erase(idlest);
  return true;
}

bool THttpServer::TState::Serve(TConnection& c, short events) {
  if ((events & (POLLERR | POLLNVAL)) != 0) return false;
  return c.Sending ? SendTo(c) : ReadFrom(c);
}

bool THttpServer::TState::ReadFrom(TConnection& c) {
  char buffer[kReadChunk];
  const ssize_t n = ::recv(c.Fd, buffer, sizeof buffer, MSG_DONTWAIT);
  if (n == 0) return false;
  if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
  c.In.append(buffer, static_cast<std::size_t>(n));
  return AnswerHeads(c);
}

// Answers the heads at the start of what was read, one after the other,
// while they are whole and each answer goes out at once (a loop: a client
// that sends many heads together does not deepen the stack).
bool THttpServer::TState::AnswerHeads(TConnection& c) {
  while (!c.Sending && !c.In.empty()) {
    const auto end = HeadEnd(std::string_view(c.In).substr(0, kMaxRequestHead + 4));
    if (!end) {
      if (c.In.size() <= kMaxRequestHead) return true;
      StartAnswer(c, nullptr, StatusAnswer(431));
    } else {
      THeadError error;
      const auto request = ParseRequestHead(std::string_view(c.In).substr(0, *end), error);
      c.In.erase(0, *end);
      StartAnswer(c, request ? &*request : nullptr, request ? Handler(*request) : StatusAnswer(error.Status));
    }
    if (!SendAnswer(c)) return false;
  }
  return true;
}

void THttpServer::TState::StartAnswer(TConnection& c, const THttpRequest* request, THttpAnswer answer) {
  const TAnswerHead head = MakeAnswerHead(request, answer, Fields);
  c.Sending = true;
  c.Out = head.Text;
  c.OutSent = 0;
  c.BodyAt = head.BodyAt;
  c.BodyLeft = head.BodyLength;
  c.CloseAfter = head.Close;
  c.Body = std::move(answer);
  c.Progress = Clock::now();
}

bool THttpServer::TState::SendTo(TConnection& c) { return SendAnswer(c) && AnswerHeads(c); }

// Sends what the socket takes of the answer under way; false when the
// connection must go.
bool THttpServer::TState::SendAnswer(TConnection& c) {
  while (c.OutSent < c.Out.size()) {
    const ssize_t n = ::send(c.Fd, c.Out.data() + c.OutSent, c.Out.size() - c.OutSent, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    c.OutSent += static_cast<std::size_t>(n);
    c.Progress = Clock::now();
  }
  if (c.BodyLeft > 0 && !SendBody(c)) return false;
  if (c.BodyLeft > 0) return true;
  c.Sending = false;
  c.Body = {};
  if (c.CloseAfter) {
    ::shutdown(c.Fd, SHUT_WR);
    return false;
  }
  c.Waiting = Clock::now();
  return true;
}

// Sends what the socket takes of the body; false when the connection must go.
bool THttpServer::TState::SendBody(TConnection& c) {
  while (c.BodyLeft > 0) {
    const std::size_t chunk = static_cast<std::size_t>(std::min<std::uint64_t>(c.BodyLeft, kSendChunk));
    ssize_t n = 0;
    if (c.Body.File) {
      off_t at = static_cast<off_t>(c.BodyAt);
      n = ::sendfile(c.Fd, c.Body.File->Descriptor(), &at, chunk);
      // A file that shrank since it was opened cannot give what was promised.
      if (n == 0) return false;
    } else {
      n = ::send(c.Fd, c.Body.Text->data() + c.BodyAt, chunk, MSG_NOSIGNAL | MSG_DONTWAIT);
    }
    if (n < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    c.BodyAt += static_cast<std::uint64_t>(n);
    c.BodyLeft -= static_cast<std::uint64_t>(n);
    c.Progress = Clock::now();
  }
  return true;
}

THttpServer::THttpServer(THandler handler, TFields fields) : state_(std::make_unique<TState>()) {
  state_->Handler = std::move(handler);
  state_->Fields = std::move(fields);
  state_->Listen();
  state_->Loop = std::thread([this] { state_->Run(); });
}

THttpServer::~THttpServer() {
  const char stop = 0;
  while (::write(state_->WakeWrite, &stop, 1) < 0 && errno == EINTR) {
  }
  state_->Loop.join();
}

int THttpServer::Port() const { return state_->Port; }

}  // namespace movara::play

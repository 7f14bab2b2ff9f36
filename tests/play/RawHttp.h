#pragma once

// Raw TCP connections to a server on 127.0.0.1, for requests an HTTP
// client library would not send: cut, slow, malformed, or never finished.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <string>

namespace movara::test {

class RawConnection {
 public:
  explicit RawConnection(int port) : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd_ < 0 || ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      if (fd_ >= 0) ::close(fd_);
      throw std::runtime_error("cannot connect");
    }
  }
  ~RawConnection() { ::close(fd_); }
  RawConnection(const RawConnection&) = delete;
  RawConnection& operator=(const RawConnection&) = delete;

  bool Send(const std::string& bytes) const {
    return ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size());
  }

  // Everything the server sends until it closes the connection or the
  // time runs out.
  std::string ReadUntilClosed(std::chrono::milliseconds limit) const {
    std::string got;
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
      pollfd p{fd_, POLLIN, 0};
      if (left.count() <= 0 || ::poll(&p, 1, static_cast<int>(left.count())) <= 0) return got;
      char buffer[65536];
      const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
      if (n <= 0) return got;
      got.append(buffer, static_cast<std::size_t>(n));
    }
  }

  // Whether the server has closed the connection (without sending more).
  bool Closed(std::chrono::milliseconds wait) const {
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(wait.count())) <= 0) return false;
    char c;
    return ::recv(fd_, &c, 1, MSG_DONTWAIT) == 0;
  }

 private:
  int fd_;
};

// An answer split into its head and its body.
struct RawAnswer {
  std::string Head;
  std::string Body;
  int Status() const { return Head.size() > 12 ? std::stoi(Head.substr(9, 3)) : 0; }
  std::string Field(const std::string& name) const {
    const std::size_t at = Head.find("\r\n" + name + ": ");
    if (at == std::string::npos) return {};
    const std::size_t from = at + name.size() + 4;
    return Head.substr(from, Head.find("\r\n", from) - from);
  }
};

inline RawAnswer SplitAnswer(const std::string& bytes) {
  const std::size_t end = bytes.find("\r\n\r\n");
  if (end == std::string::npos) return {bytes, {}};
  return {bytes.substr(0, end + 2), bytes.substr(end + 4)};
}

}  // namespace movara::test

#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "base/unique_fd.h"

namespace linkwatch::testing {

struct HttpReply {
  int status = 0;    // 200, 404, ...
  std::string head;  // the status line and headers
  std::string body;
};

// A socket on 127.0.0.1 connected to port, or none.
inline UniqueFd ConnectLoopback(std::uint16_t port) {
  UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(port);
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (!fd || ::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) {
    return UniqueFd();
  }
  return fd;
}

// One HTTP/1.0 GET on a plain socket to 127.0.0.1:port; nothing when the
// connection fails or the whole reply does not come within the time.
inline std::optional<HttpReply> HttpGet(std::uint16_t port, const std::string& target,
                                        std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  UniqueFd fd = ConnectLoopback(port);
  if (!fd) return std::nullopt;
  const std::string request = "GET " + target + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
  if (::send(fd.Get(), request.data(), request.size(), MSG_NOSIGNAL) !=
      static_cast<ssize_t>(request.size())) {
    return std::nullopt;
  }
  std::string reply;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd p{fd.Get(), POLLIN, 0};
    if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
    char buf[4096];
    const ssize_t n = ::recv(fd.Get(), buf, sizeof buf, 0);
    if (n < 0) return std::nullopt;
    if (n == 0) break;  // HTTP/1.0: the server closes after the reply
    reply.append(buf, static_cast<std::size_t>(n));
  }
  const auto end = reply.find("\r\n\r\n");
  if (end == std::string::npos || reply.rfind("HTTP/1.", 0) != 0) return std::nullopt;
  HttpReply r;
  r.head = reply.substr(0, end);
  r.body = reply.substr(end + 4);
  r.status = std::stoi(reply.substr(reply.find(' ') + 1, 3));
  return r;
}

// A port on 127.0.0.1 that was free a moment ago, for a program that cannot
// be told to take any free port itself.
inline std::uint16_t FreeLoopbackPort() {
  UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof a;
  if (!fd || ::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 ||
      ::getsockname(fd.Get(), reinterpret_cast<sockaddr*>(&a), &length) != 0) {
    return 0;
  }
  return ntohs(a.sin_port);
}

}  // namespace linkwatch::testing

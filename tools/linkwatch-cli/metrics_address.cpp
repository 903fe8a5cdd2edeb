#include "metrics_address.h"

#include <arpa/inet.h>

#include <charconv>
#include <cstring>

namespace linkwatch::cli {

namespace {

constexpr const char* kForm = " (ADDRESS:PORT, e.g. 127.0.0.1:9731 or [::1]:9731)";

bool ParsePort(const std::string& text, in_port_t& port) {
  unsigned value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || value > 65535) return false;
  port = htons(static_cast<std::uint16_t>(value));
  return true;
}

}  // namespace

ParsedMetricsAddress ParseMetricsAddress(const std::string& text) {
  ParsedMetricsAddress parsed;
  const auto bad = [&](const std::string& why) {
    parsed.error = "bad value for --metrics: '" + text + "': " + why + kForm;
    return parsed;
  };
  const auto colon = text.rfind(':');
  if (colon == std::string::npos) return bad("no port");
  std::string host = text.substr(0, colon);
  in_port_t port = 0;
  if (!ParsePort(text.substr(colon + 1), port)) return bad("the port is not a number 0 to 65535");

  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    host = host.substr(1, host.size() - 2);
    sockaddr_in6 a{};
    a.sin6_family = AF_INET6;
    a.sin6_port = port;
    if (::inet_pton(AF_INET6, host.c_str(), &a.sin6_addr) != 1) {
      return bad("not a numeric IPv6 address");
    }
    std::memcpy(&parsed.address.addr, &a, sizeof a);
    parsed.address.length = sizeof a;
    return parsed;
  }
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = port;
  if (host.find(':') != std::string::npos) return bad("an IPv6 address goes in brackets");
  if (::inet_pton(AF_INET, host.c_str(), &a.sin_addr) != 1) {
    return bad("not a numeric IPv4 address");
  }
  std::memcpy(&parsed.address.addr, &a, sizeof a);
  parsed.address.length = sizeof a;
  return parsed;
}

std::string MetricsAddressText(const sockaddr_storage& addr) {
  char host[INET6_ADDRSTRLEN] = {};
  if (addr.ss_family == AF_INET6) {
    sockaddr_in6 a{};
    std::memcpy(&a, &addr, sizeof a);
    ::inet_ntop(AF_INET6, &a.sin6_addr, host, sizeof host);
    // Appended, not "[" + ...: GCC 12 at -O3 warns falsely (-Wrestrict) on that.
    std::string text = "[";
    text += host;
    text += "]:";
    text += std::to_string(ntohs(a.sin6_port));
    return text;
  }
  sockaddr_in a{};
  std::memcpy(&a, &addr, sizeof a);
  ::inet_ntop(AF_INET, &a.sin_addr, host, sizeof host);
  return std::string(host) + ":" + std::to_string(ntohs(a.sin_port));
}

}  // namespace linkwatch::cli

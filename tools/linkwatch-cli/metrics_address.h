#pragma once

#include <netinet/in.h>
#include <sys/socket.h>

#include <string>

namespace linkwatch::cli {

// Where --metrics serves: a numeric IPv4 address or a bracketed IPv6 one, and
// a port. Names are not looked up, so that it binds exactly where it is told.
struct MetricsAddress {
  sockaddr_storage addr{};
  socklen_t length = 0;
};

struct ParsedMetricsAddress {
  MetricsAddress address;
  std::string error;  // empty when the text was good
};

// "127.0.0.1:9731", "[::1]:9731", "0.0.0.0:9731"; port 0 takes any free one.
ParsedMetricsAddress ParseMetricsAddress(const std::string& text);

// The address as "127.0.0.1:9731" or "[::1]:9731".
std::string MetricsAddressText(const sockaddr_storage& addr);

}  // namespace linkwatch::cli

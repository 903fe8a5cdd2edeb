#include "metrics_address.h"

#include <gtest/gtest.h>

#include <string>

namespace linkwatch::cli {
namespace {

TEST(MetricsAddress, NumericAddressesAndPortsAreTakenAsGiven) {
  const struct {
    std::string text;
    int family;
    std::string canonical;
  } cases[] = {
      {"127.0.0.1:9731", AF_INET, "127.0.0.1:9731"},
      {"0.0.0.0:80", AF_INET, "0.0.0.0:80"},
      {"192.168.1.20:0", AF_INET, "192.168.1.20:0"},
      {"[::1]:9731", AF_INET6, "[::1]:9731"},
      {"[::]:65535", AF_INET6, "[::]:65535"},
      {"[fe80::1:2]:9731", AF_INET6, "[fe80::1:2]:9731"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const ParsedMetricsAddress parsed = ParseMetricsAddress(c.text);
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.address.addr.ss_family, c.family);
    EXPECT_EQ(parsed.address.length,
              c.family == AF_INET ? sizeof(sockaddr_in) : sizeof(sockaddr_in6));
    EXPECT_EQ(MetricsAddressText(parsed.address.addr), c.canonical);
  }
}

TEST(MetricsAddress, AnythingElseIsRefusedWithTheReason) {
  const struct {
    std::string text, reason;
  } cases[] = {
      {"9731", "no port"},
      {"127.0.0.1", "no port"},
      {"127.0.0.1:", "not a number"},
      {"127.0.0.1:65536", "not a number"},
      {"127.0.0.1:-1", "not a number"},
      {"127.0.0.1:97x", "not a number"},
      {"localhost:9731", "not a numeric IPv4 address"},
      {":9731", "not a numeric IPv4 address"},
      {"256.0.0.1:9731", "not a numeric IPv4 address"},
      {"::1:9731", "in brackets"},
      {"[::1:9731", "in brackets"},
      {"[localhost]:9731", "not a numeric IPv6 address"},
      {"[127.0.0.1]:9731", "not a numeric IPv6 address"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const std::string error = ParseMetricsAddress(c.text).error;
    EXPECT_NE(error.find("'" + c.text + "'"), std::string::npos) << error;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace linkwatch::cli

#include "analyser/server/listen_address.hpp"

#include <gtest/gtest.h>

#include "analyser/server/access_policy.hpp"

namespace {
TEST(ListenAddress, ReadsPortHostAndIpv6) {
  const struct {
    const char* text;
    const char* host;  // null: refused
    int port;
  } cases[] = {
      {"8080", "127.0.0.1", 8080},     {"0", "127.0.0.1", 0},          {"localhost:80", "localhost", 80},
      {"0.0.0.0:65535", "0.0.0.0", 65535}, {"[::1]:8080", "::1", 8080}, {"", nullptr, 0},
      {"65536", nullptr, 0},           {"-1", nullptr, 0},             {"80x", nullptr, 0},
      {":80", nullptr, 0},             {"host:", nullptr, 0},          {"::1:80", nullptr, 0},
      {"[::1]80", nullptr, 0},         {"[]:80", nullptr, 0},          {"[::1", nullptr, 0},
  };
  for (const auto& c : cases) {
    const std::optional<listen_address> a = parse_listen_address(c.text);
    ASSERT_EQ(a.has_value(), c.host != nullptr) << c.text;
    if (!a) continue;
    EXPECT_EQ(a->host, c.host) << c.text;
    EXPECT_EQ(a->port, c.port) << c.text;
  }
  EXPECT_EQ(origin_of("::1", 8080), "http://[::1]:8080");
  EXPECT_EQ(origin_of("127.0.0.1", 5), "http://127.0.0.1:5");
}

TEST(AccessPolicy, OnlyTheServersOwnHostAndOrigin) {
  const access_policy p("127.0.0.1", 8080);
  for (const char* host : {"127.0.0.1:8080", "localhost:8080", "LocalHost:8080"}) {
    EXPECT_TRUE(p.host_allowed(host)) << host;
  }
  for (const char* host : {"", "127.0.0.1", "127.0.0.1:8081", "evil.example:8080", "localhost",
                           "127.0.0.1:8080.evil.example", "localhost:8080 "}) {
    EXPECT_FALSE(p.host_allowed(host)) << host;
  }
  EXPECT_TRUE(p.origin_allowed(false, ""));
  EXPECT_TRUE(p.origin_allowed(true, "http://127.0.0.1:8080"));
  EXPECT_TRUE(p.origin_allowed(true, "http://localhost:8080"));
  for (const char* origin : {"null", "", "https://127.0.0.1:8080", "http://evil.example:8080",
                             "http://127.0.0.1:80", "http://localhost:8080/"}) {
    EXPECT_FALSE(p.origin_allowed(true, origin)) << origin;
  }
  const access_policy v6("::1", 80);
  EXPECT_TRUE(v6.host_allowed("[::1]:80"));
  EXPECT_TRUE(v6.host_allowed("[::1]"));
  EXPECT_TRUE(v6.host_allowed("localhost"));
  EXPECT_FALSE(v6.host_allowed("::1"));
}
}  // namespace

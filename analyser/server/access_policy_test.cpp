#include "analyser/server/access_policy.hpp"

#include <gtest/gtest.h>

namespace {

TEST(AccessPolicy, TakesTheAddressItListensOnAndLocalhost) {
  const struct {
    const char* host;
    int port;
    const char* header;
    bool allowed;
  } cases[] = {
      {"127.0.0.1", 8080, "127.0.0.1:8080", true},
      {"127.0.0.1", 8080, "LocalHost:8080", true},
      {"127.0.0.1", 8080, "127.0.0.1", false},
      {"127.0.0.1", 8080, "127.0.0.1:80", false},
      {"127.0.0.1", 8080, "127.0.0.1:8080.evil.example", false},
      {"127.0.0.1", 80, "127.0.0.1", true},  // the port that may be left out
      {"127.0.0.1", 80, "localhost", true},
      {"127.0.0.1", 80, "localhost:80", true},
      {"::1", 8080, "[::1]:8080", true},
      {"::1", 8080, "::1:8080", false},
      {"Example.ORG", 8080, "example.org:8080", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(access_policy(c.host, c.port).host_allowed(c.header), c.allowed)
        << c.host << " " << c.port << " " << c.header;
  }
}

TEST(AccessPolicy, OnEveryInterfaceTakesTheMachinesAddressesAndNoOtherName) {
  for (const char* wildcard : {"0.0.0.0", "::"}) {
    const access_policy policy(wildcard, 8080);
    EXPECT_TRUE(policy.host_allowed("127.0.0.1:8080")) << wildcard;  // the loopback interface
    EXPECT_TRUE(policy.host_allowed("localhost:8080")) << wildcard;
    EXPECT_FALSE(policy.host_allowed("127.0.0.1:8081")) << wildcard;
    EXPECT_FALSE(policy.host_allowed("evil.example:8080")) << wildcard;
    EXPECT_TRUE(policy.origin_allowed(true, "http://127.0.0.1:8080")) << wildcard;
  }
}

TEST(AccessPolicy, TakesNoOriginOrItsOwn) {
  const access_policy policy("127.0.0.1", 80);
  EXPECT_TRUE(policy.origin_allowed(false, ""));
  EXPECT_TRUE(policy.origin_allowed(true, "http://127.0.0.1"));
  EXPECT_TRUE(policy.origin_allowed(true, "http://LOCALHOST:80"));
  for (const char* origin : {"", "null", "https://127.0.0.1", "127.0.0.1", "http://evil.example"}) {
    EXPECT_FALSE(policy.origin_allowed(true, origin)) << origin;
  }
}

}  // namespace

// Where the server listens: "[HOST:]PORT" of -serve, and the Host and
// Origin values that name it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct listen_address {
  std::string host = "127.0.0.1";  // an IPv6 address without its brackets
  int port = 0;                    // 0: any free port
};

// Reads "PORT", "HOST:PORT" or "[IPV6]:PORT" (a port from 0 to 65535); none
// for anything else.
std::optional<listen_address> parse_listen_address(std::string_view text);

// The host as it stands in a URL or a Host header: "[::1]" for IPv6.
std::string url_host(const std::string& host);

// "http://HOST:PORT"
std::string origin_of(const std::string& host, int port);

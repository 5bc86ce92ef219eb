#include "analyser/server/listen_address.hpp"

#include <charconv>

namespace {
std::optional<int> port_of(std::string_view text) {
  int port = -1;
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, port);
  if (text.empty() || error != std::errc() || at != end || port < 0 || port > 65535) {
    return std::nullopt;
  }
  return port;
}
}  // namespace

std::optional<listen_address> parse_listen_address(std::string_view text) {
  listen_address address;
  std::string_view port = text;
  if (!text.empty() && text.front() == '[') {
    const std::size_t close = text.find(']');
    if (close == std::string_view::npos || close == 1 || text.substr(close + 1, 1) != ":") {
      return std::nullopt;
    }
    address.host = std::string(text.substr(1, close - 1));
    port = text.substr(close + 2);
  } else if (const std::size_t colon = text.rfind(':'); colon != std::string_view::npos) {
    if (colon == 0 || text.substr(0, colon).find(':') != std::string_view::npos) return std::nullopt;
    address.host = std::string(text.substr(0, colon));
    port = text.substr(colon + 1);
  }
  const std::optional<int> number = port_of(port);
  if (!number) return std::nullopt;
  address.port = *number;
  return address;
}

std::string url_host(const std::string& host) {
  return host.find(':') != std::string::npos ? "[" + host + "]" : host;
}

std::string origin_of(const std::string& host, int port) {
  return "http://" + url_host(host) + ":" + std::to_string(port);
}

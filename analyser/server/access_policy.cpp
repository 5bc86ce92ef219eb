#include "analyser/server/access_policy.hpp"

#include <algorithm>
#include <cctype>

#include "analyser/server/listen_address.hpp"

namespace {
std::string lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return out;
}
}  // namespace

access_policy::access_policy(const std::string& host, int port) {
  const std::string suffix = ":" + std::to_string(port);
  for (const std::string& name : {url_host(host), std::string("localhost")}) {
    hosts_.push_back(lower(name) + suffix);
    if (port == 80) hosts_.push_back(lower(name));
  }
}

bool access_policy::host_allowed(std::string_view host_header) const {
  return std::find(hosts_.begin(), hosts_.end(), lower(host_header)) != hosts_.end();
}

bool access_policy::origin_allowed(bool present, std::string_view origin) const {
  if (!present) return true;
  const std::string_view scheme = "http://";
  if (origin.substr(0, scheme.size()) != scheme) return false;
  return host_allowed(origin.substr(scheme.size()));
}

#include "analyser/server/access_policy.hpp"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <unistd.h>

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
bool is_wildcard(const std::string& host) { return host == "0.0.0.0" || host == "::"; }

// The names a client elsewhere reaches this machine by without a name
// service of its own: the address of every interface (IPv6 in brackets) and
// the machine's name.
std::vector<std::string> machine_names() {
  std::vector<std::string> names;
  ifaddrs* interfaces = nullptr;
  if (getifaddrs(&interfaces) == 0) {
    for (const ifaddrs* i = interfaces; i != nullptr; i = i->ifa_next) {
      if (i->ifa_addr == nullptr) continue;
      char text[INET6_ADDRSTRLEN] = {};
      const int family = i->ifa_addr->sa_family;
      if (family == AF_INET) {
        inet_ntop(AF_INET, &reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr, text,
                  sizeof text);
        names.emplace_back(text);
      } else if (family == AF_INET6) {
        inet_ntop(AF_INET6, &reinterpret_cast<const sockaddr_in6*>(i->ifa_addr)->sin6_addr, text,
                  sizeof text);
        names.push_back(url_host(text));
      }
    }
    freeifaddrs(interfaces);
  }
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) == 0 && name[0] != '\0') names.emplace_back(name);
  return names;
}
}  // namespace

access_policy::access_policy(const std::string& host, int port) {
  const std::string suffix = ":" + std::to_string(port);
  // Listening on every interface, the server answers to each of them.
  std::vector<std::string> names =
      is_wildcard(host) ? machine_names() : std::vector<std::string>{url_host(host)};
  names.emplace_back("localhost");
  for (const std::string& name : names) {
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

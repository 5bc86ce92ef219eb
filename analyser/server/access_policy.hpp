// Which requests the server answers at all: a Host header that names the
// address it listens on (or localhost with its port; on 0.0.0.0 or ::, any
// address of the machine or its name), so that a page of
// another site reaching it through a name of its own (DNS rebinding) gets
// nothing; and for a POST, no Origin but the server's own, so that no page
// of another site can make it work.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class access_policy {
 public:
  // `host` as given to -serve (an IPv6 address without brackets), `port`
  // the port it listens on.
  access_policy(const std::string& host, int port);

  // Compared without regard to case; port 80 may be left out.
  bool host_allowed(std::string_view host_header) const;
  // An absent Origin (a request that no browser page made) is allowed;
  // "null" and every other origin are not.
  bool origin_allowed(bool present, std::string_view origin) const;

 private:
  std::vector<std::string> hosts_;  // "HOST:PORT", lower case
};

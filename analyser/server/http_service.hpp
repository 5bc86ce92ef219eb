// The server's HTTP side: the routes of the API and the page, the checks
// every request passes first (Host, Origin, path and method), the bounds of
// a request (body size, the analysis queue, nodes and time), and errors as
// JSON {"error": "..."}.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "analyser/server/grammar_store.hpp"
#include "analyser/server/listen_address.hpp"
#include "analyser/server/request_decoding.hpp"

struct service_settings {
  listen_address address;
  int threads = 1;                       // analysis workers
  std::size_t max_body = 1024 * 1024;    // bytes of a request body
  request_limits limits;
};

// Analyses queued per worker, beyond the ones being analysed.
constexpr std::size_t kQueuedPerWorker = 4;

class http_service {
 public:
  http_service(grammar_store& store, const service_settings& settings);
  ~http_service();
  http_service(const http_service&) = delete;
  http_service& operator=(const http_service&) = delete;

  // Binds the address; the port it listens on, or -1 when it cannot.
  int bind();
  // Serves until stop(); false when it could not.
  bool run();
  // From any thread: stops serving; the requests being answered finish.
  void stop();

 private:
  struct parts;
  std::unique_ptr<parts> parts_;
};

#include "analyser/server/http_service.hpp"

#include <httplib.h>

#include <charconv>
#include <cstdint>
#include <optional>

#include "analyser/server/access_policy.hpp"
#include "analyser/server/analysis_pool.hpp"
#include "analyser/server/answers.hpp"
#include "analyser/server/page_files.hpp"
#include "analyser/server/suite_run.hpp"

namespace {
constexpr const char* kJson = "application/json; charset=utf-8";
constexpr int kKeepAliveRequests = 1000;

// What a path is served for.
struct route {
  std::string_view path;
  std::string_view method;
};
constexpr route kRoutes[] = {
    {"/", "GET"},           {"/page.css", "GET"},    {"/page.js", "GET"},
    {"/api/health", "GET"}, {"/api/grammar", "GET"}, {"/api/parse", "POST"},
    {"/api/suite", "POST"}, {"/api/reload", "POST"},
};

std::optional<route> route_of(std::string_view path) {
  for (const route& r : kRoutes) {
    if (r.path == path) return r;
  }
  return std::nullopt;
}

void answer(httplib::Response& res, int status, const std::string& body) {
  res.status = status;
  res.set_content(body, kJson);
}

// Answers and then ends the connection, for a request whose body is left
// unread (or read in part): what follows on the connection is never taken
// for a request of its own. (A content provider that reports failure after
// writing the whole answer is the library's way to end a connection.)
void answer_and_close(httplib::Response& res, int status, const std::string& message) {
  res.status = status;
  res.set_header("Connection", "close");
  auto body = std::make_shared<const std::string>(error_answer(message));
  res.set_content_provider(body->size(), kJson,
                           [body](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
                             sink.write(body->data() + offset, length);
                             return false;
                           });
}

httplib::Server::HandlerResponse refuse(httplib::Response& res, int status,
                                        const std::string& message) {
  answer_and_close(res, status, message);
  return httplib::Server::HandlerResponse::Handled;
}

// The Content-Length, 0 without one; none when it is no number.
std::optional<std::uint64_t> declared_length(const httplib::Request& req) {
  if (!req.has_header("Content-Length")) return 0;
  const std::string text = req.get_header_value("Content-Length");
  std::uint64_t length = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), length);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return length;
}

std::string body_limit_message(std::size_t max_body) {
  return "the request body is over the limit of " + std::to_string(max_body) + " bytes";
}

// The message of an answer that the library makes itself. (A path that is
// served for nothing never gets here: the check refuses it first.)
std::string status_message(int status) {
  switch (status) {
    case 400: return "malformed request";
    case 414: return "the request line is too long";
    default: return "the request could not be answered (HTTP status " + std::to_string(status) + ")";
  }
}

// The page's headers beyond those every answer has (set_default_headers).
const char* const kPageHeaders[][2] = {
    {"Content-Security-Policy",
     "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self' data:; "
     "connect-src 'self'; form-action 'none'; frame-ancestors 'none'; base-uri 'none'"},
    {"Referrer-Policy", "no-referrer"},
};
}  // namespace

struct http_service::parts {
  parts(grammar_store& s, const service_settings& settings)
      : store(s), config(settings), pool(settings.threads, settings.threads * kQueuedPerWorker) {}

  grammar_store& store;
  service_settings config;
  analysis_pool pool;
  httplib::Server server;
  std::optional<access_policy> access;

  using body_handler = std::function<void(std::string_view body, httplib::Response& res)>;

  // Host, path, method, Origin and a declared body size, before the body is read.
  httplib::Server::HandlerResponse check(const httplib::Request& req, httplib::Response& res);
  // The body, read up to the limit; none (and the answer made) when it is
  // over the limit or cannot be read.
  std::optional<std::string> read_body(const httplib::Request& req,
                                       const httplib::ContentReader& reader, httplib::Response& res);
  void post(const char* path, body_handler handle);
  // A handler that decodes the body and makes its answer on an analysis
  // worker with the grammar in service; 503 when the queue is full.
  template <typename Decode, typename Answer>
  body_handler analysed(Decode decode, Answer make_answer);
  void reload(std::string_view body, httplib::Response& res);
  void set_routes();
};

httplib::Server::HandlerResponse http_service::parts::check(const httplib::Request& req,
                                                            httplib::Response& res) {
  const std::string host = req.get_header_value("Host");
  if (!access->host_allowed(host)) {
    return refuse(res, 403, "the Host \"" + host + "\" is not the address this server listens on");
  }
  const std::optional<route> r = route_of(req.path);
  if (!r) return refuse(res, 404, "no such resource: " + req.path);
  const bool head_of_get = req.method == "HEAD" && r->method == "GET";
  if (req.method != r->method && !head_of_get) {
    res.set_header("Allow", std::string(r->method));
    return refuse(res, 405, req.path + " takes " + std::string(r->method) + ", not " + req.method);
  }
  const std::optional<std::uint64_t> length = declared_length(req);
  if (!length) return refuse(res, 400, "malformed Content-Length");
  const bool body = *length > 0 || req.has_header("Transfer-Encoding");
  if (req.method != "POST" && body) return refuse(res, 400, req.method + " takes no body");
  if (req.method == "POST" && !access->origin_allowed(req.has_header("Origin"),
                                                      req.get_header_value("Origin"))) {
    return refuse(res, 403, "requests from the origin \"" + req.get_header_value("Origin") +
                                "\" are not served");
  }
  if (*length > config.max_body) {
    return refuse(res, 413, body_limit_message(config.max_body));
  }
  return httplib::Server::HandlerResponse::Unhandled;
}

std::optional<std::string> http_service::parts::read_body(const httplib::Request& req,
                                                         const httplib::ContentReader& reader,
                                                         httplib::Response& res) {
  std::string body;
  if (!req.has_header("Content-Length") && !req.has_header("Transfer-Encoding")) return body;
  bool over = false;
  const bool read = reader([&](const char* data, std::size_t length) {
    over = length > config.max_body - body.size();
    if (!over) body.append(data, length);
    return !over;
  });
  if (over) {
    answer_and_close(res, 413, body_limit_message(config.max_body));
  } else if (!read) {
    answer_and_close(res, 400, "the request body could not be read");
  }
  if (over || !read) return std::nullopt;
  return body;
}

void http_service::parts::post(const char* path, body_handler handle) {
  server.Post(path, [this, handle](const httplib::Request& req, httplib::Response& res,
                                   const httplib::ContentReader& reader) {
    const std::optional<std::string> body = read_body(req, reader, res);
    if (!body) return;
    try {
      handle(*body, res);
    } catch (const request_error& e) {
      answer(res, e.status, error_answer(e.message));
    }
  });
}

template <typename Decode, typename Answer>
http_service::parts::body_handler http_service::parts::analysed(Decode decode, Answer make_answer) {
  return [this, decode, make_answer](std::string_view body, httplib::Response& res) {
    const auto request = decode(body, config.limits);
    std::string text;
    if (!pool.run(store.current(), [&](mirask::analyser& a) { text = make_answer(a, request); })) {
      answer(res, 503, error_answer("the server is busy: every analysis worker and queue place is taken"));
      res.set_header("Retry-After", "1");
      return;
    }
    answer(res, 200, text);
  };
}

void http_service::parts::reload(std::string_view body, httplib::Response& res) {
  decode_empty_request(body);
  const reload_outcome outcome = store.reload();
  answer(res, outcome.replaced ? 200 : 422, reload_answer(outcome, *store.current()));
}

void http_service::parts::set_routes() {
  server.set_pre_routing_handler([this](const auto& req, auto& res) { return check(req, res); });
  for (const std::string_view path : {"/", "/page.css", "/page.js"}) {
    server.Get(std::string(path), [](const httplib::Request& req, httplib::Response& res) {
      const page_file* file = find_page_file(req.path);
      for (const auto& [name, value] : kPageHeaders) res.set_header(name, value);
      res.set_content(std::string(file->content), std::string(file->content_type).c_str());
    });
  }
  server.Get("/api/health", [](const auto&, auto& res) { answer(res, 200, "{\"status\":\"ok\"}"); });
  server.Get("/api/grammar",
             [this](const auto&, auto& res) { answer(res, 200, grammar_answer(*store.current())); });
  post("/api/parse", analysed(decode_parse_request, parse_answer));
  post("/api/suite", analysed(decode_suite_request, suite_answer));
  post("/api/reload", [this](std::string_view body, httplib::Response& res) { reload(body, res); });
  // Answers the library makes itself (a malformed request line, a header
  // over its limit) get a JSON body too.
  server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
    if (!res.has_header("Content-Type"))
      answer(res, res.status, error_answer(status_message(res.status)));
  });
  server.set_exception_handler([](const auto&, auto& res, std::exception_ptr failure) {
    std::string message = "the request could not be answered";
    try {
      std::rethrow_exception(failure);
    } catch (const std::exception& e) {
      message += std::string(": ") + e.what();
    } catch (...) {
    }
    answer(res, 500, error_answer(message));
  });
}

http_service::http_service(grammar_store& store, const service_settings& settings)
    : parts_(std::make_unique<parts>(store, settings)) {
  httplib::Server& s = parts_->server;
  const std::size_t connections = settings.threads * (kQueuedPerWorker + 1) + 4;
  s.new_task_queue = [connections] { return new httplib::ThreadPool(connections); };
  s.set_keep_alive_max_count(kKeepAliveRequests);
  s.set_tcp_nodelay(true);  // an answer is written in two parts: no wait for an acknowledgement
  s.set_default_headers({{"X-Content-Type-Options", "nosniff"}, {"Cache-Control", "no-store"}});
  parts_->set_routes();
}

http_service::~http_service() = default;

int http_service::bind() {
  const listen_address& a = parts_->config.address;
  const int port = a.port == 0 ? parts_->server.bind_to_any_port(a.host)
                               : (parts_->server.bind_to_port(a.host, a.port) ? a.port : -1);
  if (port > 0) parts_->access.emplace(a.host, port);
  return port;
}

bool http_service::run() { return parts_->server.listen_after_bind(); }

void http_service::stop() { parts_->server.stop(); }

// Requests per second and latency of a running `Mirask -serve` on loopback:
// CLIENTS threads, each on one keep-alive connection, each sending REQUESTS
// requests of one kind, timed one by one.
//   bench_server PORT [CLIENTS=4] [REQUESTS=5000] [SENTENCES=examples/saetze.txt]
// Kinds: GET /api/health, POST /api/parse with one sentence of the file
// (in turn), POST /api/parse with 10 sentences.
#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

namespace {
using clock_type = std::chrono::steady_clock;

struct kind {
  const char* name;
  const char* path;
  int sentences;  // 0: a GET
};

std::string body_of(const std::vector<std::string>& sentences, int first, int count) {
  nlohmann::json list = nlohmann::json::array();
  for (int i = 0; i < count; ++i) list.push_back(sentences[(first + i) % sentences.size()]);
  return count == 1 ? nlohmann::json{{"sentence", list[0]}}.dump()
                    : nlohmann::json{{"sentences", list}}.dump();
}

// Each request's latency in microseconds; -1 for a failed one.
std::vector<double> run_client(int port, const kind& k, int requests, int client,
                               const std::vector<std::string>& sentences) {
  httplib::Client c("127.0.0.1", port);
  c.set_keep_alive(true);
  c.set_tcp_nodelay(true);  // the body follows the headers at once, as browsers and curl send it
  std::vector<double> latencies;
  for (int i = 0; i < requests; ++i) {
    const auto start = clock_type::now();
    const httplib::Result r =
        k.sentences == 0
            ? c.Get(k.path)
            : c.Post(k.path, body_of(sentences, client * 131 + i, k.sentences), "application/json");
    const double us = std::chrono::duration<double, std::micro>(clock_type::now() - start).count();
    latencies.push_back(r && r->status == 200 ? us : -1);
  }
  return latencies;
}

double percentile(std::vector<double>& sorted, double p) {
  return sorted.empty() ? 0 : sorted[static_cast<std::size_t>(p * (sorted.size() - 1))];
}
}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_server PORT [CLIENTS] [REQUESTS] [SENTENCES]\n");
    return 2;
  }
  const int port = std::atoi(argv[1]);
  const int clients = argc > 2 ? std::atoi(argv[2]) : 4;
  const int requests = argc > 3 ? std::atoi(argv[3]) : 5000;
  std::ifstream file(argc > 4 ? argv[4] : "examples/saetze.txt");
  std::vector<std::string> sentences;
  for (std::string line; std::getline(file, line);) {
    if (!line.empty()) sentences.push_back(line);
  }
  if (sentences.empty()) sentences.push_back("Der Hund bellt.");
  const kind kinds[] = {{"GET /api/health", "/api/health", 0},
                        {"POST /api/parse, 1 sentence", "/api/parse", 1},
                        {"POST /api/parse, 10 sentences", "/api/parse", 10}};
  std::printf("| request | clients | requests | requests/s | p50 (ms) | p99 (ms) | errors |\n");
  std::printf("|---|--:|--:|--:|--:|--:|--:|\n");
  for (const kind& k : kinds) {
    std::vector<std::vector<double>> found(clients);
    const auto start = clock_type::now();
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
      threads.emplace_back([&, c] { found[c] = run_client(port, k, requests, c, sentences); });
    }
    for (std::thread& t : threads) t.join();
    const double seconds = std::chrono::duration<double>(clock_type::now() - start).count();
    std::vector<double> all;
    long errors = 0;
    for (const std::vector<double>& f : found) {
      for (double us : f) (us < 0 ? ++errors : (all.push_back(us), 0));
    }
    std::sort(all.begin(), all.end());
    std::printf("| %s | %d | %d | %.0f | %.3f | %.3f | %ld |\n", k.name, clients, clients * requests,
                clients * requests / seconds, percentile(all, 0.5) / 1000, percentile(all, 0.99) / 1000,
                errors);
  }
  return 0;
}

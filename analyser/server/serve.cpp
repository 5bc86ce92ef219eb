#include "analyser/server/serve.hpp"

#include <pthread.h>
#include <signal.h>

#include <algorithm>
#include <optional>
#include <system_error>
#include <thread>

#include "analyser/server/http_service.hpp"

namespace {
std::optional<grammar_store> load_store(const analyser_state& state) {
  mirask::load_options options;
  options.utf8 = state.added.utf8;
  options.names = mirask::names_relative_to::current_folder;
  options.start_category = state.start_category;
  try {
    return std::optional<grammar_store>(std::in_place, state.config_file_name, options);
  } catch (const mirask::error& e) {
    std::fprintf(state.errors, "Mirask: cannot serve: %s\n",
                 error_line(e, state.config_file_name).c_str());
    return std::nullopt;
  }
}

service_settings settings_of(const analyser_state& state, const listen_address& address) {
  service_settings settings;
  settings.address = address;
  const long cores = std::max(1u, std::thread::hardware_concurrency());
  settings.threads = static_cast<int>(state.added.threads > 0 ? state.added.threads : cores);
  settings.max_body = static_cast<std::size_t>(state.added.max_body);
  return settings;
}

// The signals that stop the server, blocked from here on in this thread and
// every thread it starts: one thread of its own waits for them.
sigset_t block_stopping_signals() {
  sigset_t stopping;
  sigemptyset(&stopping);
  sigaddset(&stopping, SIGINT);
  sigaddset(&stopping, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopping, nullptr);
  return stopping;
}

// Serves until one of `stopping` arrives.
bool serve_until_stopped(http_service& service, const sigset_t& stopping) {
  std::thread watcher([&] {
    int signal_number = 0;
    sigwait(&stopping, &signal_number);
    service.stop();
  });
  const auto end_watcher = [&] {
    pthread_kill(watcher.native_handle(), SIGTERM);  // ends the wait if serving ended by itself
    watcher.join();
  };
  try {
    const bool served = service.run();
    end_watcher();
    return served;
  } catch (...) {
    end_watcher();
    throw;
  }
}

// Serves on the loaded grammar; false when serving failed.
bool serve_grammar(analyser_state& state, grammar_store& store, const listen_address& address) {
  const sigset_t stopping = block_stopping_signals();
  http_service service(store, settings_of(state, address));
  const int port = service.bind();
  if (port < 0) {
    std::fprintf(state.errors, "Mirask: cannot listen on %s:%d (in use, or no address of this machine)\n",
                 url_host(address.host).c_str(), address.port);
    return false;
  }
  std::fprintf(state.errors, "listening on %s/\n", origin_of(address.host, port).c_str());
  std::fflush(state.errors);
  return serve_until_stopped(service, stopping);
}
}  // namespace

int run_server(analyser_state& state, int, char**) {
  const std::optional<listen_address> address = parse_listen_address(state.added.serve_address);
  if (!address) {
    std::fprintf(state.errors, "Mirask: -serve needs [HOST:]PORT, a port from 0 to 65535, not \"%s\"\n",
                 state.added.serve_address.c_str());
    return 1;
  }
  if (state.config_file_name.empty()) {
    std::fputs("Mirask: -serve needs a configuration (-c FILE)\n", state.errors);
    return 1;
  }
  std::optional<grammar_store> store = load_store(state);
  if (!store) return 1;
  for (const mirask::problem& p : store->current()->problems()) {
    std::fprintf(state.errors, "%s\n", p.to_string().c_str());
  }
  signal(SIGPIPE, SIG_IGN);
  try {
    return serve_grammar(state, *store, *address) ? 0 : 1;
  } catch (const std::system_error& e) {
    // The machine would not give the threads asked for.
    std::fprintf(state.errors, "Mirask: cannot start the server's threads: %s\n", e.what());
    return 1;
  }
}

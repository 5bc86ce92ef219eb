// run_server in Mirask: the server runs as Mirask-serve, the program beside
// this one, with the same arguments and the same process.
#include <unistd.h>

#include <climits>
#include <string>
#include <vector>

#include "analyser/server/serve.hpp"

namespace {
// The folder of the running program, or "." when it cannot be told.
std::string program_folder() {
  char path[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return ".";
  const std::string program(path, static_cast<std::size_t>(length));
  return program.substr(0, program.rfind('/'));
}
}  // namespace

int run_server(analyser_state& state, int argc, char** argv) {
  std::string server = program_folder() + "/Mirask-serve";
  std::vector<char*> arguments(argv, argv + argc);
  arguments[0] = server.data();
  arguments.push_back(nullptr);
  std::fflush(nullptr);  // the banner is written before the server takes over
  execv(server.c_str(), arguments.data());
  std::fprintf(state.errors, "Mirask: -serve is not built in (%s cannot be run)\n", server.c_str());
  return 1;
}

// The stand-in for a build without cpp-httplib or nlohmann-json.
#include "analyser/server/serve.hpp"

int run_server(analyser_state& state) {
  std::fputs("Mirask: -serve is not built in (the build found no cpp-httplib or nlohmann-json)\n",
             state.errors);
  return 1;
}

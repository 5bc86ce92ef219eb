// The server's request decoding on any bytes: a body of POST /api/parse,
// /api/suite and /api/reload. Beyond "no crash" (a deep nesting among
// them) it checks what the handlers rely on: a refused body gets status 400
// and a message that is valid UTF-8 and gives valid JSON as an error answer;
// an accepted one keeps the server's limits (nodes, time, analyses listed)
// and decodes again from its own JSON (written strictly: its texts must be
// valid UTF-8) to the same request.
#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "analyser/server/answers.hpp"
#include "analyser/server/request_decoding.hpp"
#include "fuzz/fuzz_support.hpp"

namespace {
using json = nlohmann::json;

request_limits limits() { return {1000, std::chrono::milliseconds(500), 7}; }

// Runs `decode`; false when it refused the body, as a refusal must be.
template <typename Decode>
bool decoded(Decode decode, std::string_view body) {
  try {
    decode(body);
    return true;
  } catch (const request_error& e) {
    fuzz_expect(e.status == 400, "a refused body gets 400");
    fuzz_expect(!e.message.empty(), "a refusal says why");
    const json answer = json::parse(error_answer(e.message));
    fuzz_expect(answer["error"].is_string(), "the error answer is JSON");
    return false;
  }
}

void check_parse(std::string_view body) {
  parse_request r;
  if (!decoded([&](std::string_view b) { r = decode_parse_request(b, limits()); }, body)) return;
  fuzz_expect(r.options.node_limit >= 1 && r.options.node_limit <= 1000, "node limit kept");
  fuzz_expect(r.options.max_analyses >= 1 && r.options.max_analyses <= 7, "analyses limit kept");
  fuzz_expect(r.time_limit.count() >= 1000 && r.time_limit.count() <= 500000, "time limit kept");
  fuzz_expect(r.batch || r.sentences.size() == 1, "one sentence without \"sentences\"");
  json again = {{"node_limit", r.options.node_limit}, {"timeout_ms", r.time_limit.count() / 1000},
                {"max_analyses", r.options.max_analyses}, {"all", r.options.all},
                {"why", r.options.why}, {"nodes", r.options.nodes}, {"count", r.options.count},
                {"svg", r.svg}, {"start", r.options.start}};
  if (r.batch) again["sentences"] = r.sentences; else again["sentence"] = r.sentences.front();
  if (r.analysis_index) again["analysis_index"] = *r.analysis_index;
  const parse_request back = decode_parse_request(again.dump(), limits());
  fuzz_expect(back.sentences == r.sentences && back.options.node_limit == r.options.node_limit &&
                  back.options.start == r.options.start && back.analysis_index == r.analysis_index,
              "an accepted request decodes again to itself");
}

void check_suite(std::string_view body) {
  suite_request r;
  if (!decoded([&](std::string_view b) { r = decode_suite_request(b, limits()); }, body)) return;
  fuzz_expect(r.node_limit >= 1 && r.node_limit <= 1000, "suite node limit kept");
  fuzz_expect(r.time_limit.count() <= 500000, "suite time limit kept");
  json again = {{"suite", r.suite}, {"name", r.name}};
  fuzz_expect(decode_suite_request(again.dump(), limits()).suite == r.suite, "suite text kept");
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view body = fuzz_bytes(data, size);
  check_parse(body);
  check_suite(body);
  decoded([](std::string_view b) { decode_empty_request(b); }, body);
  return 0;
}

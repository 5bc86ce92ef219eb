// The profile reader on any bytes. Beyond "no crash" it checks that every
// faulty line gets exactly one message, and that each message names the file
// and a line ("fuzz.profile:LINE: ..."); that every item it hands out is in
// form (a line number from 1, a verdict, a known outcome); and that the
// writer and the reader agree: the items read, their coverage records
// included, written again as a profile of their own under the coverage
// universe read (if any), and read back, come out the same, universe too.
#include <climits>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analyser/suite/profile_reader.hpp"
#include "analyser/suite/profile_writer.hpp"
#include "fuzz/fuzz_support.hpp"
#include "test_support/streams.hpp"

namespace {

const std::string kName = "fuzz.profile";

struct read_result {
  std::vector<item_result> items;
  std::string messages;
  long problems = 0;
  std::optional<coverage_universe> coverage;
};

read_result read_profile(std::string_view text) {
  read_result result;
  memory_input file(text);
  captured_output messages;
  profile_reader reader(messages.file(),
                        [&](const item_result& item) { result.items.push_back(item); });
  reader.read(file.file(), kName);
  reader.finish();
  result.messages = messages.text();
  result.problems = reader.problems();
  if (reader.coverage() != nullptr) result.coverage = *reader.coverage();
  return result;
}

void expect_messages_in_form(const read_result& result) {
  long lines = 0;
  std::string_view rest = result.messages;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    fuzz_expect(end != std::string_view::npos, "a message does not end its line");
    const std::string_view message = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    ++lines;
    fuzz_expect(message.substr(0, kName.size() + 1) == kName + ":",
                "a message does not name the file");
    const std::size_t digits = message.find_first_not_of("0123456789", kName.size() + 1);
    fuzz_expect(
        digits > kName.size() + 1 && digits != std::string_view::npos && message[digits] == ':',
        "a message does not name the line");
  }
  fuzz_expect(lines == result.problems, "not one message for every problem");
}

void expect_item_in_form(const item_result& item) {
  fuzz_expect(item.line >= 1, "an item without its line");
  if (item.verdict == item_verdict::malformed) return;
  fuzz_expect(is_outcome_name(item.found.outcome), "an item with an unknown outcome");
}

// The items written as one part of a profile of their own.
std::string rewritten(const read_result& read) {
  std::string text = header_record({"p", "d", "c", "SATZ", false, "s", {}, read.coverage}) + "\n";
  const std::vector<item_result>& items = read.items;
  for (const item_result& item : items) text += item_record(item, "null") + "\n";
  return text + end_record(LONG_MAX, static_cast<long>(items.size())) + "\n";
}

bool same_item(const item_result& a, const item_result& b) {
  if (a.line != b.line || a.verdict != b.verdict) return false;
  if (a.verdict == item_verdict::malformed) return a.problem == b.problem;
  return a.text == b.text && a.expected.grammatical == b.expected.grammatical &&
         a.expected.count == b.expected.count && a.expected.analysis == b.expected.analysis &&
         found_text(a.found) == found_text(b.found) && a.found.nodes == b.found.nodes &&
         a.found.time_us == b.found.time_us && a.found.coverage == b.found.coverage;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const read_result first = read_profile(fuzz_bytes(data, size));
  expect_messages_in_form(first);
  for (const item_result& item : first.items) expect_item_in_form(item);
  const read_result again = read_profile(rewritten(first));
  fuzz_expect(again.problems == 0, "a profile written from items read is not read back");
  fuzz_expect(again.items.size() == first.items.size(), "items lost in the round trip");
  fuzz_expect(again.coverage == first.coverage, "the coverage changed in the round trip");
  for (std::size_t i = 0; i < first.items.size(); ++i) {
    fuzz_expect(same_item(first.items[i], again.items[i]), "an item changed in the round trip");
  }
  return 0;
}

// The parse that stops at the first complete analysis prints exactly what
// the full parse prints, with and without numbered values and the tree.
#include <gtest/gtest.h>

#include "analyser/grammar/parser.hpp"
#include "analyser/grammar/test_grammars.hpp"
#include "analyser/output/printout.hpp"

using namespace test_support;

namespace {

// The printout of a parsed case with `flags`, and whether the limit stopped it.
struct printed_case {
  std::string text;
  parse_end end = parse_end::complete;
};

// The result category of the case's first rule: a start category that the
// rules can reach.
std::string start_category_of(const test_case& c) {
  std::string name;
  for (char ch : c.rules.front().substr(c.rules.front().find('=') + 1)) {
    if (ch != ' ' && name.size() < 4) name += ch;
  }
  return name;
}

printed_case parse_and_print(const test_case& c, bool stop_early, int flags) {
  grammar_fixture f;
  fixture_output output(f);
  printed_case printed;
  if (!build(f, c)) return {"word nodes over the limit", parse_end::node_limit};
  sentence_analysis analysis;
  analysis.text = byte_data("S ");
  analysis.nodes = &f.nodes;
  const std::string start = start_category_of(c);
  analysis.target = {byte_data(start), byte_count(start), static_cast<int>(c.words.size())};
  parse_work work{f.grammar, f.nodes, f.log()};
  if (stop_early) work.stop_at = &analysis.target;
  printed.end = parse_sentence(work);
  analysis.axiom = find_axiom_node(f.nodes.head, analysis.target);
  analysis.outcome = printed.end == parse_end::node_limit ? sentence_outcome::node_limit
                     : analysis.axiom != nullptr          ? sentence_outcome::analysed
                                                          : sentence_outcome::no_analysis;
  message_table messages;
  add_message(messages, 9, "Analyse:");
  add_message(messages, 10, "keine Analyse\\n");
  printout_writer(messages, f.log(), {flags}).sentence_analysed(analysis);
  printed.text = without_identities(output.text());
  return printed;
}

// Cases compared; fewer under the address sanitizer, which makes each some
// twenty times slower.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kCases = 400;
#else
constexpr int kCases = 2000;
#endif

TEST(EarlyStop, PrintsWhatTheFullParsePrints) {
  grammar_generator generator(31337);
  int analysed = 0;
  int compared = 0;
  for (int i = 0; i < kCases; ++i) {
    test_case c = generator.next();
    c.node_limit = 5000;
    for (int flags : {0, OUT_SUBCAT, OUT_TREE, OUT_SUBCAT | OUT_TREE}) {
      const printed_case full = parse_and_print(c, false, flags);
      if (full.end == parse_end::node_limit) continue;  // the early parse may then find more
      const printed_case early = parse_and_print(c, true, flags);
      ASSERT_EQ(early.text, full.text) << "case " << i << ", flags " << flags;
      ++compared;
      analysed += full.text.rfind("Analyse:", 0) == 0 ? 1 : 0;
    }
  }
  EXPECT_GT(analysed, compared / 10);  // analyses are found, not only failures
}

}  // namespace

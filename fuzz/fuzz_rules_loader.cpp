// The analyser's rules loader on any bytes, with tracing on. The loaded
// grammar must be well formed whatever the text: rules numbered upwards,
// every rule with a first and a result part of one to four characters, a
// second part exactly for binary rules, labels within their bound, and each
// index slot at the first rule of its initial.
#include <cstdint>
#include <cstring>

#include "analyser/grammar/rules_reader.hpp"
#include "analyser/lexicon/category_table.hpp"
#include "fuzz/analyser_fixture.hpp"

namespace {

constexpr int kCategoryLength = 4;

bool part_in_form(const rule_part& part) {
  return part.category != nullptr && part.category->name_length >= 1 &&
         part.category->name_length <= kCategoryLength;
}

void expect_rule_in_form(const grammar_rule& rule) {
  fuzz_expect(part_in_form(rule.parts[0]) && part_in_form(rule.parts[2]),
              "a rule lacks its first or result part");
  fuzz_expect(rule.parts[1].category == nullptr || part_in_form(rule.parts[1]),
              "a rule has a malformed second part");
  fuzz_expect(rule.parts[1].category != nullptr || rule.parts[1].subcat_values == nullptr,
              "a unary rule has values for its second part");
  fuzz_expect(std::strlen(rule.label) <= kRuleLabelLength, "a rule label is too long");
}

void expect_grammar_in_form(const grammar_tables& state) {
  const grammar_rule* first_of_slot[kLetterSlots] = {};
  int previous_number = 0;
  for (const grammar_rule* rule = state.rule_list; rule != nullptr; rule = rule->next) {
    expect_rule_in_form(*rule);
    fuzz_expect(rule->rule_number > previous_number, "rules are not numbered upwards");
    previous_number = rule->rule_number;
    const int slot = letter_slot(rule->parts[0].category->name[0]);
    if (slot >= 0 && first_of_slot[slot] == nullptr) first_of_slot[slot] = rule;
  }
  for (int slot = 0; slot < kLetterSlots; ++slot) {
    fuzz_expect(state.rule_index[slot] == first_of_slot[slot],
                "an index slot is not at the first rule of its initial");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  grammar_tables grammar;
  category_table categories;
  memory_input rules(fuzz_bytes(data, size));
  try {
    read_rules(grammar, categories, rules.file(), {null_output(), true});
  } catch (const fatal_end&) {
    return 0;  // out of memory: an orderly end
  }
  expect_grammar_in_form(grammar);
  return 0;
}

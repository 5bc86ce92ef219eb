#include "analyser/grammar/rule_lookup.hpp"

#include <algorithm>

#include "analyser/grammar/rules_reader.hpp"

namespace {
constexpr int kSmallestSlotBits = 3;
// Fibonacci hashing: the top bits of the product spread the keys.
constexpr std::uint32_t kHashFactor = 2654435761u;

// `rule` unless it begins with a greater byte than `initial`: there the scan
// of a letter's rules ends.
grammar_rule* within_letter_run(grammar_rule* rule, unsigned char initial) {
  if (rule == nullptr) return nullptr;
  return category_first_byte(*rule->parts[0].category) > initial ? nullptr : rule;
}

// The first-part keys of the rules, each once, in file order.
std::vector<std::uint32_t> first_part_keys(const grammar_tables& grammar) {
  std::vector<std::uint32_t> keys;
  for (const grammar_rule* rule = grammar.rule_list; rule != nullptr; rule = rule->next) {
    const std::uint32_t key = rule->parts[0].category->key;
    if (std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
  }
  return keys;
}
}  // namespace

grammar_rule* first_rule_of_letter(const grammar_tables& grammar, unsigned char initial) {
  const int slot = letter_slot(initial);
  return slot < 0 ? nullptr : within_letter_run(grammar.rule_index[slot], initial);
}

grammar_rule* next_rule_of_letter(const grammar_rule& rule, unsigned char initial) {
  return within_letter_run(rule.next, initial);
}

std::size_t rule_lookup::slot_of(std::uint32_t key) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t at = (key * kHashFactor) >> (32 - slot_bits_);
  while (slots_[at].begin != slots_[at].end && slots_[at].key != key) at = (at + 1) & mask;
  return at;
}

void rule_lookup::build(const grammar_tables& grammar) {
  const std::vector<std::uint32_t> keys = first_part_keys(grammar);
  slot_bits_ = kSmallestSlotBits;
  while ((std::size_t{1} << slot_bits_) < 2 * keys.size()) ++slot_bits_;
  slots_.assign(std::size_t{1} << slot_bits_, slot{});
  rules_.clear();
  for (const std::uint32_t key : keys) {
    // The key's first byte is its category's first byte, or a blank for an
    // empty name, which has no slot either.
    const auto initial = static_cast<unsigned char>(key >> 24);
    const auto begin = static_cast<std::uint32_t>(rules_.size());
    for (grammar_rule* rule = first_rule_of_letter(grammar, initial); rule != nullptr;
         rule = next_rule_of_letter(*rule, initial)) {
      if (rule->parts[0].category->key == key) rules_.push_back(rule);
    }
    const auto end = static_cast<std::uint32_t>(rules_.size());
    if (end > begin) slots_[slot_of(key)] = {key, begin, end};
  }
  last_rule_ = grammar.rule_tail;
}

bool rule_lookup::is_current_for(const grammar_tables& grammar) const {
  return last_rule_ == grammar.rule_tail;
}

const rule_lookup& current_rule_lookup(const grammar_tables& grammar, rule_lookup& own) {
  if (grammar.first_rules.is_current_for(grammar)) return grammar.first_rules;
  own.build(grammar);
  return own;
}

std::span<grammar_rule* const> rule_lookup::rules_for(const category_entry& category) const {
  if (slots_.empty()) return {};
  const slot& s = slots_[slot_of(category.key)];
  return {rules_.data() + s.begin, s.end - s.begin};
}

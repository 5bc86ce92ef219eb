// Helpers for the unit tests of the lexicon, the parser and the output: they
// build categories, value sets, rules, dictionary entries and nodes directly in
// a state, and point its streams at memory.
#pragma once

#include <cstdio>
#include <string>

#include "analyser/driver/analyser_state.hpp"
#include "analyser/driver/test_support.hpp"
#include "analyser/grammar/parse_node.hpp"
#include "analyser/lexicon/category_table.hpp"

namespace test_support {

inline const unsigned char* bytes(const std::string& text) {
  return reinterpret_cast<const unsigned char*>(text.c_str());
}

inline int length(const std::string& text) { return static_cast<int>(text.size()); }

inline category_entry* category(AnalyserState& state, const std::string& name) {
  return put_category(state, bytes(name), length(name));
}

inline const subcat_value_set* values(AnalyserState& state, const std::string& text) {
  return put_scv(state, bytes(text), length(text));
}

// Splits "NAME subcat text" into its first four non-blank characters and the
// rest, as the rules file does with a part.
inline rule_part make_part(AnalyserState& state, const std::string& text) {
  std::string name;
  std::string subcat;
  for (char c : text) {
    if (c == ' ') continue;
    (name.size() < 4 ? name : subcat) += c;
  }
  if (name.empty()) return {nullptr, nullptr};
  return {category(state, name), values(state, subcat)};
}

inline std::string trim(const std::string& text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Appends a rule written "A (1) + B = C (); 1 1 1 : label" (or "A = C; 1 2"
// for a unary rule) to `rule_list` and `rule_index`, numbered in order.
inline grammar_rule* add_rule(AnalyserState& state, const std::string& text) {
  auto* rule = state.tables.make<grammar_rule>();
  std::string body = text;
  std::string label;
  std::string condition;
  if (std::size_t colon = body.find(':'); colon != std::string::npos) {
    label = trim(body.substr(colon + 1));
    body.resize(colon);
  }
  if (std::size_t semi = body.find(';'); semi != std::string::npos) {
    condition = body.substr(semi + 1);
    body.resize(semi);
  }
  std::size_t equals = body.find('=');
  std::string result = body.substr(equals + 1);
  body.resize(equals);
  std::size_t plus = body.find('+');
  rule->parts[0] = make_part(state, body.substr(0, plus));
  if (plus != std::string::npos) rule->parts[1] = make_part(state, body.substr(plus + 1));
  rule->parts[2] = make_part(state, result);
  if (!trim(condition).empty()) {
    rule->condition = put_condition(state, bytes(condition), length(condition));
  }
  label.copy(rule->label, kRuleLabelLength);
  rule->rule_number = state.rule_tail != nullptr ? state.rule_tail->rule_number + 1 : 1;
  (state.rule_list == nullptr ? state.rule_list : state.rule_tail->next) = rule;
  state.rule_tail = rule;
  int slot = letter_slot(rule->parts[0].category->name[0]);
  if (slot >= 0 && state.rule_index[slot] == nullptr) state.rule_index[slot] = rule;
  return rule;
}

// Appends the entry "WORD" = category and subcategory text, with a label, to
// the list from `head` and to `index` (when its slot is still empty).
inline dict_entry* add_entry(AnalyserState& state, dict_entry* (&index)[kLetterSlots],
                             dict_entry*& head, const std::string& word,
                             const std::string& category_and_values,
                             const std::string& label = "") {
  auto* entry = state.tables.make<dict_entry>();
  auto* stored = static_cast<unsigned char*>(state.tables.allocate(word.size() + 1));
  word.copy(reinterpret_cast<char*>(stored), word.size());
  entry->word = stored;
  entry->word_length = length(word);
  entry->category = category(state, category_and_values.substr(0, 4));
  if (category_and_values.size() > 4) {
    entry->subcat_values = values(state, category_and_values.substr(4));
  }
  label.copy(entry->label, kDictLabelLength);
  dict_entry** link = &head;
  while (*link != nullptr) link = &(*link)->next;
  *link = entry;
  int slot = word.empty() ? -1 : letter_slot(stored[0]);
  if (slot >= 0 && index[slot] == nullptr) index[slot] = entry;
  return entry;
}

// A word node of the category and value set, covering [start, end].
inline parse_node* word_node(AnalyserState& state, const std::string& name,
                             const std::string& subcat, int start, int end) {
  return keep_node(state, category(state, name), subcat.empty() ? nullptr : values(state, subcat),
                   nullptr, nullptr, nullptr, start, end, "");
}

// A rule node built by hand over the given components.
inline parse_node* rule_node(AnalyserState& state, const std::string& name, parse_node* left,
                             parse_node* right) {
  return keep_node(state, category(state, name), nullptr, left, right, nullptr, left->seg_start,
                   (right != nullptr ? right : left)->seg_end, "");
}

// Points state.out at a capture and state.console at `console_text`; text()
// returns everything printed so far.
class captured_output {
 public:
  explicit captured_output(AnalyserState& state, const std::string& console_text = "")
      : console_(console_text) {
    state.out = out_.file();
    state.console = console_.file();
  }
  std::string text() { return out_.text(); }
  // Bytes of the console input not read yet.
  long console_left() {
    FILE* console = console_.file();
    long at = std::ftell(console);
    std::fseek(console, 0, SEEK_END);
    long end = std::ftell(console);
    std::fseek(console, at, SEEK_SET);
    return end - at;
  }

 private:
  CapturedOutput out_;
  MemoryInput console_;
};

// Links message `number` with `text` at the end of the message list.
inline void add_message(AnalyserState& state, int number, const char* text) {
  auto* message = state.tables.make<message_record>();
  message->number = number;
  message->text = text;
  (state.message_list == nullptr ? state.message_list : state.message_tail->next) = message;
  state.message_tail = message;
}

// The messages `print_results` writes, for a run from a file (no waits).
inline void prepare_result_output(AnalyserState& state) {
  add_message(state, 9, "Analyse:");
  add_message(state, 10, "keine Analyse\\n");
  add_message(state, 11, "<weiter>");
  state.console_input = 0;
}

}  // namespace test_support

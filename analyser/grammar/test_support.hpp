// Helpers for the unit tests of the parser and the output: a fixture that
// holds the tables and the nodes of one sentence, and builders for rules and
// nodes written as short texts.
#pragma once

#include <cstdio>
#include <cctype>
#include <string>

#include "analyser/base/log_output.hpp"
#include "analyser/base/messages.hpp"
#include "analyser/grammar/parse_node.hpp"
#include "analyser/grammar/rules_reader.hpp"
#include "analyser/lexicon/test_support.hpp"
#include "test_support/streams.hpp"

namespace test_support {

// The tables and the nodes a test of the parser or the output works on.
struct grammar_fixture {
  lexicon_tables lexicon;
  grammar_tables grammar;
  node_list nodes;
  std::FILE* out = stdout;
  bool trace = false;
  log_output log() const { return {out, trace}; }
};

inline category_entry* category(grammar_fixture& f, const std::string& name) {
  return category(f.lexicon.categories, name);
}

inline std::string trim(const std::string& text) {
  std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Splits "NAME subcat text" into its first four non-blank characters and the
// rest, as the rules file does with a part.
inline rule_part make_part(grammar_fixture& f, const std::string& text) {
  std::string name;
  std::string subcat;
  for (char c : text) {
    if (c == ' ') continue;
    (name.size() < 4 ? name : subcat) += c;
  }
  if (name.empty()) return {nullptr, nullptr};
  return {category(f, name), values(f.grammar.storage, subcat)};
}

// Appends a rule written "A (1) + B = C (); 1 1 1 : label" (or "A = C; 1 2"
// for a unary rule) to `rule_list` and `rule_index`, numbered in order.
inline grammar_rule* add_rule(grammar_fixture& f, const std::string& text) {
  grammar_tables& g = f.grammar;
  auto* rule = g.storage.make<grammar_rule>();
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
  rule->parts[0] = make_part(f, body.substr(0, plus));
  if (plus != std::string::npos) rule->parts[1] = make_part(f, body.substr(plus + 1));
  rule->parts[2] = make_part(f, result);
  if (!trim(condition).empty()) {
    rule->condition = put_condition(g.storage, byte_data(condition), byte_count(condition));
  }
  label.copy(rule->label, kRuleLabelLength);
  rule->rule_number = g.rule_tail != nullptr ? g.rule_tail->rule_number + 1 : 1;
  (g.rule_list == nullptr ? g.rule_list : g.rule_tail->next) = rule;
  g.rule_tail = rule;
  int slot = letter_slot(rule->parts[0].category->name[0]);
  if (slot >= 0 && g.rule_index[slot] == nullptr) g.rule_index[slot] = rule;
  return rule;
}

// A word node of the category and value set, covering [start, end]; null at
// the node limit.
inline parse_node* word_node(grammar_fixture& f, const std::string& name,
                             const std::string& subcat, int start, int end) {
  const subcat_value_set* set = subcat.empty() ? nullptr : values(f.nodes.storage, subcat);
  return keep_node(f.nodes, category(f, name), set, nullptr, nullptr, nullptr, start, end, "");
}

// A rule node built by hand over the given components.
inline parse_node* rule_node(grammar_fixture& f, const std::string& name, parse_node* left,
                             parse_node* right) {
  return keep_node(f.nodes, category(f, name), nullptr, left, right, nullptr, left->seg_start,
                   (right != nullptr ? right : left)->seg_end, "");
}

// The number of nodes in the list.
inline int list_length(const grammar_fixture& f) {
  int count = 0;
  for (const parse_node* n = f.nodes.head; n != nullptr; n = n->next) ++count;
  return count;
}

// Points the fixture's output at a capture; text() returns everything
// written so far.
class fixture_output {
 public:
  explicit fixture_output(grammar_fixture& f) { f.out = out_.file(); }
  std::string text() { return out_.text(); }

 private:
  captured_output out_;
};

// `text` with every record identity printed by "%p" ("0x..." or "(nil)")
// replaced by "PTR".
inline std::string without_identities(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (text.compare(i, 5, "(nil)") == 0) {
      out += "PTR";
      i += 5;
    } else if (text.compare(i, 2, "0x") == 0 && i + 2 < text.size() &&
               std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      out += "PTR";
      for (i += 2; i < text.size() && std::isxdigit(static_cast<unsigned char>(text[i]));) ++i;
    } else {
      out += text[i++];
    }
  }
  return out;
}

// Links message `number` with `text` at the end of the message list.
inline void add_message(message_table& messages, int number, const char* text) {
  auto* message = messages.storage.make<message_record>();
  message->number = number;
  message->text = text;
  (messages.head == nullptr ? messages.head : messages.tail->next) = message;
  messages.tail = message;
}

}  // namespace test_support

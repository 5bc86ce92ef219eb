#include "analyser/grammar/rules_reader.hpp"

#include <stdio.h>

#include <string>

#include "analyser/base/fatal_error.hpp"
#include "analyser/base/linked_list.hpp"
#include "analyser/base/text_utils.hpp"
#include "analyser/base/utf8_text.hpp"

namespace {
// Non-blank characters of a part that form its main category.
constexpr std::size_t kCategoryLength = 4;
constexpr int kRuleParts = 3;

struct part_text {
  std::string category;
  std::string subcat;
  bool present = false;  // false for part 2 of a unary rule
};

// Reads rule after rule. The parts of a rule are kept as text until its "."
// and only then interned and stored, so a malformed rule leaves no trace in
// the tables.
class rule_reader {
 public:
  rule_reader(grammar_tables& grammar, category_table& categories, const log_output& log)
      : grammar_(grammar), categories_(categories), log_(log) {}
  void read(FILE* rules);

 private:
  void begin_rule();
  void take(unsigned char c);
  void separator(unsigned char c);
  void store_rule();
  void end_rule();
  void link_rule();
  bool rule_begun() const;
  void skip(const char* why);

  grammar_tables& grammar_;
  category_table& categories_;
  const log_output& log_;
  part_text parts_[kRuleParts];
  int stored_parts_ = 0;
  std::string category_;
  std::string subcat_;
  std::string condition_;
  std::string label_;
  bool label_mode_ = false;
  bool broken_ = false;  // a separator out of order or a part without category
  int rule_number_ = 0;
  // Where the reading stands, and where the current rule began (from 1).
  long line_ = 1;
  long column_ = 0;
  long rule_line_ = 0;
  long rule_column_ = 0;
};

void rule_reader::begin_rule() {
  for (part_text& part : parts_) part = part_text{};
  stored_parts_ = 0;
  category_.clear();
  subcat_.clear();
  condition_.clear();
  label_.clear();
  label_mode_ = false;
  broken_ = false;
  ++rule_number_;
}

bool rule_reader::rule_begun() const {
  return stored_parts_ > 0 || broken_ || label_mode_ || !category_.empty();
}

void rule_reader::skip(const char* why) {
  const std::string text = "rule " + std::to_string(rule_number_) + " skipped (" + why + ")";
  const std::string printed = (log_.trace ? "\nread_grammar(): " : "read_grammar(): ") + text + "\n";
  report_problem(log_, rule_line_, rule_column_, text, printed);
}

// Keeps the texts of the current part as the next part of the rule.
void rule_reader::store_rule() {
  parts_[stored_parts_] = part_text{category_, subcat_, true};
  ++stored_parts_;
  category_.clear();
  subcat_.clear();
}

// "+" ends part 1 of a binary rule, "=" part 1 of a unary rule or part 2 of
// a binary one, ";" the result part. Anything else breaks the rule.
void rule_reader::separator(unsigned char c) {
  const bool in_order = (c == '+' && stored_parts_ == 0) || (c == '=' && stored_parts_ <= 1) ||
                        (c == ';' && stored_parts_ == 2);
  if (!in_order || category_.empty()) broken_ = true;
  if (!broken_) {
    store_rule();
    if (c == '=' && stored_parts_ == 1) stored_parts_ = 2;  // unary: part 2 stays empty
  }
  category_.clear();
  subcat_.clear();
  label_.clear();
  if (log_.trace) std::fputs("\n\t", log_.out);
}

void rule_reader::take(unsigned char c) {
  if (!rule_begun() && c != ' ') {
    rule_line_ = line_;
    rule_column_ = column_;
  }
  if (log_.trace) {
    if (stored_parts_ == 0 && category_.empty() && !broken_ && !label_mode_) {
      std::fprintf(log_.out, "\n%4d ", rule_number_);
    }
    write_text(log_.out, &c, 1, log_.utf8);
  }
  if (c == ' ' && !label_mode_) return;
  if (c == '.') {
    end_rule();
  } else if (c == ':') {
    label_mode_ = true;
    label_.clear();
  } else if (label_mode_) {
    if (label_.size() < kRuleLabelLength && !(c == ' ' && label_.empty()))
      label_ += static_cast<char>(c);
  } else if (c == '+' || c == '=' || c == ';') {
    separator(c);
  } else if (stored_parts_ == kRuleParts) {
    condition_ += static_cast<char>(c);
  } else {
    (category_.size() < kCategoryLength ? category_ : subcat_) += static_cast<char>(c);
  }
}

void rule_reader::end_rule() {
  if (broken_ || stored_parts_ != kRuleParts) {
    skip("malformed");
  } else {
    link_rule();
  }
  begin_rule();
}

// Stores the complete rule and links it behind the rules before it.
void rule_reader::link_rule() {
  arena& storage = grammar_.storage;
  auto* rule = needing_memory("store_rule: malloc Fehler", [&] { return storage.make<grammar_rule>(); });
  for (int i = 0; i < kRuleParts; ++i) {
    if (!parts_[i].present) continue;
    const std::string& category = parts_[i].category;
    const std::string& subcat = parts_[i].subcat;
    rule->parts[i].category = put_category(categories_, byte_data(category), byte_count(category));
    rule->parts[i].subcat_values = put_scv(storage, byte_data(subcat), byte_count(subcat));
  }
  rule->condition = put_condition(storage, byte_data(condition_), byte_count(condition_));
  rule->rule_number = rule_number_;
  rule->line = rule_line_;
  if (!label_.empty() && label_.back() == ' ') label_.pop_back();
  label_.copy(rule->label, label_.size());
  if (log_.trace) std::fprintf(log_.out, " --- %p", static_cast<void*>(rule));
  append_record(grammar_.rule_list, grammar_.rule_tail, rule);
  const int slot = letter_slot(rule->parts[0].category->name[0]);
  if (slot >= 0 && grammar_.rule_index[slot] == nullptr) grammar_.rule_index[slot] = rule;
}

// The file is read by this thread alone, a byte at a time: the unlocked form
// saves taking the stream's lock for every byte.
void rule_reader::read(FILE* rules) {
  begin_rule();
  int c;
  while ((c = getc_unlocked(rules)) != EOF) {
    ++column_;
    if (c == '$' && !label_mode_) {
      while ((c = getc_unlocked(rules)) != EOF && c != '\n') {
      }
      if (c == EOF) break;
    }
    if (c == '\n') {
      ++line_;
      column_ = 0;
    } else if (c != '\r') {
      take(static_cast<unsigned char>(c));
    }
  }
  if (rule_begun()) skip("no \".\"");
}
}  // namespace

void read_rules(grammar_tables& grammar, category_table& categories, FILE* rules,
                const log_output& log) {
  clear_letter_index(grammar.rule_index);
  if (log.trace) std::fputs("\n", log.out);
  needing_memory("store_rule: malloc Fehler", [&] {
    rule_reader(grammar, categories, log).read(rules);
    grammar.first_rules.build(grammar);
  });
}

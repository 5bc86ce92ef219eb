#include "analyser/grammar/rules_reader.hpp"

#include <string>

#include "analyser/driver/fatal_error.hpp"
#include "analyser/driver/file_input.hpp"
#include "analyser/lexicon/category_table.hpp"

namespace {
// Non-blank characters of a part that form its main category.
constexpr std::size_t kCategoryLength = 4;
constexpr int kRuleParts = 3;

struct PartText {
  std::string category;
  std::string subcat;
  bool present = false;  // false for part 2 of a unary rule
};

const unsigned char* bytes(const std::string& text) {
  return reinterpret_cast<const unsigned char*>(text.data());
}

int length(const std::string& text) { return static_cast<int>(text.size()); }

// Reads rule after rule. The parts of a rule are kept as text until its "."
// and only then interned and stored, so a malformed rule leaves no trace in
// the tables.
class RuleReader {
 public:
  explicit RuleReader(AnalyserState& state) : state_(state) {}
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

  AnalyserState& state_;
  PartText parts_[kRuleParts];
  int stored_parts_ = 0;
  std::string category_;
  std::string subcat_;
  std::string condition_;
  std::string label_;
  bool label_mode_ = false;
  bool broken_ = false;  // a separator out of order or a part without category
  int rule_number_ = 0;
};

void RuleReader::begin_rule() {
  for (PartText& part : parts_) part = PartText{};
  stored_parts_ = 0;
  category_.clear();
  subcat_.clear();
  condition_.clear();
  label_.clear();
  label_mode_ = false;
  broken_ = false;
  ++rule_number_;
}

bool RuleReader::rule_begun() const {
  return stored_parts_ > 0 || broken_ || label_mode_ || !category_.empty();
}

void RuleReader::skip(const char* why) {
  std::fprintf(state_.out, "%sread_grammar(): rule %d skipped (%s)\n",
               state_.trace_flag ? "\n" : "", rule_number_, why);
}

// Keeps the texts of the current part as the next part of the rule.
void RuleReader::store_rule() {
  parts_[stored_parts_] = PartText{category_, subcat_, true};
  ++stored_parts_;
  category_.clear();
  subcat_.clear();
}

// "+" ends part 1 of a binary rule, "=" part 1 of a unary rule or part 2 of
// a binary one, ";" the result part. Anything else breaks the rule.
void RuleReader::separator(unsigned char c) {
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
  if (state_.trace_flag) std::fputs("\n\t", state_.out);
}

void RuleReader::take(unsigned char c) {
  if (state_.trace_flag) {
    if (stored_parts_ == 0 && category_.empty() && !broken_ && !label_mode_) {
      std::fprintf(state_.out, "\n%4d ", rule_number_);
    }
    std::fputc(c, state_.out);
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

void RuleReader::end_rule() {
  if (broken_ || stored_parts_ != kRuleParts) {
    skip("malformed");
  } else {
    link_rule();
  }
  begin_rule();
}

// Stores the complete rule and links it behind the rules before it.
void RuleReader::link_rule() {
  auto* rule = state_.tables.make<grammar_rule>();
  if (rule == nullptr) fatal_error(state_, "store_rule: malloc Fehler");
  for (int i = 0; i < kRuleParts; ++i) {
    if (!parts_[i].present) continue;
    rule->parts[i].category =
        put_category(state_, bytes(parts_[i].category), length(parts_[i].category));
    rule->parts[i].subcat_values =
        put_scv(state_, bytes(parts_[i].subcat), length(parts_[i].subcat));
  }
  rule->condition = put_condition(state_, bytes(condition_), length(condition_));
  rule->rule_number = rule_number_;
  if (!label_.empty() && label_.back() == ' ') label_.pop_back();
  label_.copy(rule->label, label_.size());
  if (state_.trace_flag) std::fprintf(state_.out, " --- %p", static_cast<void*>(rule));
  if (state_.rule_list == nullptr) {
    state_.rule_list = rule;
  } else {
    state_.rule_tail->next = rule;
  }
  state_.rule_tail = rule;
  const int slot = letter_slot(rule->parts[0].category->name[0]);
  if (slot >= 0 && state_.rule_index[slot] == nullptr) state_.rule_index[slot] = rule;
}

void RuleReader::read(FILE* rules) {
  begin_rule();
  int c;
  while ((c = std::getc(rules)) != EOF) {
    if (c == '$' && !label_mode_) {
      while ((c = std::getc(rules)) != EOF && c != '\n') {
      }
      continue;
    }
    if (c != '\n' && c != '\r') take(static_cast<unsigned char>(c));
  }
  if (rule_begun()) skip("no \".\"");
}
}  // namespace

void read_rules(AnalyserState& state, FILE* rules) {
  clear_letter_index(state.rule_index);
  if (state.trace_flag) std::fputs("\n", state.out);
  RuleReader(state).read(rules);
}

void read_grammar(AnalyserState& state, FILE* config_file) {
  std::string line;
  if (!read_line(config_file, line))
    fatal_error(state, "no entry for grammar file in the confi.file");
  if (state.trace_flag) std::fprintf(state.out, "read_grammar(): file=%s\n", line.c_str());
  remove_line_end(line);
  unique_file rules = open_text_file(line);
  if (rules == nullptr) {
    if (state.trace_flag)
      std::fprintf(state.out, "read_grammar(): error 1: file=%s\n", line.c_str());
    fatal_error(state, "Regeln: Dateifehler");
  }
  read_rules(state, rules.get());
}

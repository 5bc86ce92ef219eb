#include "checker/grammar_model.hpp"

namespace {

// Characters of a main category, in a rule part and after an entry's "=".
constexpr std::size_t kCategoryLength = 4;
// Value groups of a set and digits of a condition the analyser keeps: its
// count is one byte.
constexpr int kMaxCounted = 255;
constexpr int kRuleParts = 3;

// The value groups of a subcategory text as it is read character by
// character: one per "(" before the first ";".
class subcat_text {
 public:
  void add(unsigned char c) {
    present_ = true;
    if (c == ';') stopped_ = true;
    if (c == '(' && !stopped_ && groups_ < kMaxCounted) ++groups_;
  }
  value_groups groups() const { return present_ ? value_groups(groups_) : std::nullopt; }

 private:
  bool present_ = false;
  bool stopped_ = false;
  int groups_ = 0;
};

// The next character the analyser would see: faults of a UTF-8 text (which
// the file's own check reports) are passed over.
input_char next_char(text_input& input) {
  input_char read = input.next();
  while (read.c == kFaultyChar) read = input.next();
  return read;
}

// Reads to the end of the line; false when the file ends first.
bool skip_to_line_end(text_input& input) {
  for (int c = next_char(input).c; c != EOF; c = next_char(input).c) {
    if (c == '\n') return true;
  }
  return false;
}

// The rules reader: a part is kept as text until the "." of its rule, and a
// rule that breaks the rule forms is dropped whole.
class rules_reader {
 public:
  std::vector<model_rule> read(text_input& input) {
    begin_rule();
    for (input_char read = next_char(input); read.c != EOF; read = next_char(input)) {
      if (read.c == '$' && !label_mode_) {
        if (!skip_to_line_end(input)) break;
      } else if (read.c != '\n' && read.c != '\r') {
        take(static_cast<unsigned char>(read.c), input.position());
      }
    }
    return std::move(rules_);
  }

 private:
  void begin_rule() {
    rule_ = model_rule{};
    rule_.number = ++rule_number_;
    stored_parts_ = 0;
    part_ = model_part{};
    subcat_ = subcat_text{};
    label_mode_ = false;
    broken_ = false;
  }

  void take(unsigned char c, text_position at) {
    if (c == ' ' && !label_mode_) return;
    if (c == '.') return end_rule();
    if (c == ':') label_mode_ = true;
    if (label_mode_) return;
    if (c == '+' || c == '=' || c == ';') return separator(c);
    if (stored_parts_ == kRuleParts) {
      if (c >= '0' && c <= '9' && rule_.condition.size() < kMaxCounted) {
        rule_.condition.push_back({c - '0', at});
      }
    } else if (part_.category.size() < kCategoryLength) {
      if (part_.category.empty()) part_.at = at;
      part_.category += static_cast<char>(c);
    } else {
      subcat_.add(c);
    }
  }

  // "+" ends the first part of a binary rule, "=" the first part of a unary
  // rule or the second of a binary one, ";" the result part.
  void separator(unsigned char c) {
    const bool in_order = (c == '+' && stored_parts_ == 0) || (c == '=' && stored_parts_ <= 1) ||
                          (c == ';' && stored_parts_ == 2);
    if (!in_order || part_.category.empty()) broken_ = true;
    if (!broken_) {
      part_.groups = subcat_.groups();
      rule_.parts[stored_parts_++] = part_;
      if (c == '=' && stored_parts_ == 1) {
        rule_.unary = true;
        stored_parts_ = 2;
      }
    }
    part_ = model_part{};
    subcat_ = subcat_text{};
  }

  void end_rule() {
    if (!broken_ && stored_parts_ == kRuleParts) rules_.push_back(std::move(rule_));
    begin_rule();
  }

  std::vector<model_rule> rules_;
  model_rule rule_;
  model_part part_;
  subcat_text subcat_;
  int stored_parts_ = 0;
  int rule_number_ = 0;
  bool label_mode_ = false;
  bool broken_ = false;
};

// Upper case as the analyser stores words: a to z, and the small umlaut codes
// "{" "|" "}" "~" as "[" "\" "]" "^"; in a UTF-8 file also the small letters
// of ISO-8859-1, 0xE0 to 0xFE but the division sign 0xF7.
unsigned char upcase(unsigned char c, bool utf8) {
  const bool ascii_small = (c >= 'a' && c <= 'z') || (c >= '{' && c <= '~');
  const bool latin1_small = utf8 && c >= 0xE0 && c <= 0xFE && c != 0xF7;
  return ascii_small || latin1_small ? static_cast<unsigned char>(c - 0x20) : c;
}

enum class entry_field { word, category, label };

// The lexicon and endings reader, one line at a time.
class entries_reader {
 public:
  explicit entries_reader(bool utf8) : utf8_(utf8) {}

  std::vector<model_entry> read(text_input& input) {
    for (input_char read = next_char(input); read.c != EOF; read = next_char(input)) {
      int c = read.c;
      if (c == '\r') continue;
      if (c == '$' && field_ != entry_field::label) {
        // A comment line vanishes whole; behind an entry its line end ends the entry.
        if (!skip_to_line_end(input)) break;
        if (!started_) continue;
        c = '\n';
      }
      if (c == '\n') {
        end_line();
      } else {
        take(static_cast<unsigned char>(c), input.position());
      }
    }
    if (started_) end_line();
    return std::move(entries_);
  }

 private:
  void take(unsigned char c, text_position at) {
    if (!started_) entry_.word_at = at;
    started_ = true;
    switch (field_) {
      case entry_field::label:
        return;
      case entry_field::category:
        if (c == ':') {
          field_ = entry_field::label;
        } else if (entry_.category.size() < kCategoryLength) {
          if (entry_.category.empty()) entry_.category_at = at;
          entry_.category += static_cast<char>(c);
        } else {
          subcat_.add(c);
        }
        return;
      case entry_field::word:
        if (c == '=') {
          field_ = entry_field::category;
        } else {
          entry_.word += static_cast<char>(upcase(c, utf8_));
        }
        return;
    }
  }

  void end_line() {
    if (field_ != entry_field::word && !entry_.word.empty() && !entry_.category.empty()) {
      entry_.groups = subcat_.groups();
      entries_.push_back(std::move(entry_));
    }
    entry_ = model_entry{};
    subcat_ = subcat_text{};
    field_ = entry_field::word;
    started_ = false;
  }

  bool utf8_;
  std::vector<model_entry> entries_;
  model_entry entry_;
  subcat_text subcat_;
  entry_field field_ = entry_field::word;
  bool started_ = false;  // a character other than CR was read on this line
};

}  // namespace

std::vector<model_rule> read_rules_model(std::FILE* file, bool utf8) {
  text_input input(file, utf8);
  return rules_reader().read(input);
}

std::vector<model_entry> read_entries_model(std::FILE* file, bool utf8) {
  text_input input(file, utf8);
  return entries_reader(utf8).read(input);
}

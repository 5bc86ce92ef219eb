// The grammar as the analyser loads it, for the checks across its files: the
// rules, the lexicon entries and the endings entries, each with the place it
// comes from. The files are read exactly as the analyser's loaders read them,
// whatever their form: a rule the loader skips (a part missing, separators
// out of order, no ".") is not in the model, nor is a lexicon line without
// word, "=" or category; comments vanish as they do there.
//
// A rule part's category is its first four non-blank characters, an entry's
// the four characters after its "=" (a ":" ends it early). The rest of a
// part, up to its separator, or of an entry, up to ":" or the line end, is its
// subcategory text, which carries one value group per "(" up to a ";".
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "checker/text_input.hpp"

// The number of value groups a part or an entry carries; none when it has no
// subcategory text (it then agrees with any value groups).
using value_groups = std::optional<int>;

// The files of a grammar, in the order the configuration names them.
enum class grammar_file { configuration, rules, lexicon, endings };
constexpr int kGrammarFiles = 4;

struct model_part {
  std::string category;  // at most four characters, never empty
  value_groups groups;
  text_position at;  // the category's first character
};

struct condition_digit {
  int value;  // 0 to 9
  text_position at;
};

struct model_rule {
  int number = 0;  // as the analyser numbers it: skipped rules count too
  bool unary = false;
  model_part parts[3];  // first, second (unused when unary), result
  std::vector<condition_digit> condition;

  const model_part& first() const { return parts[0]; }
  const model_part& second() const { return parts[1]; }
  const model_part& result() const { return parts[2]; }
};

struct model_entry {
  std::string word;  // upper-cased as the analyser stores it
  std::string category;
  value_groups groups;
  text_position word_at;      // the line's first character
  text_position category_at;  // the character after "="
};

struct grammar_model {
  std::string names[kGrammarFiles];  // by grammar_file
  std::vector<model_rule> rules;
  std::vector<model_entry> lexicon;
  std::vector<model_entry> endings;
  bool utf8 = false;  // read from UTF-8 files: their texts are shown in UTF-8 again

  const std::string& name(grammar_file file) const { return names[static_cast<int>(file)]; }
};

// The rules the analyser loads from `file`, in file order.
std::vector<model_rule> read_rules_model(std::FILE* file, bool utf8);

// The entries the analyser stores from the lexicon or endings `file`.
std::vector<model_entry> read_entries_model(std::FILE* file, bool utf8);

#include "checker/grammar_check.hpp"

#include <algorithm>
#include <deque>
#include <map>
#include <set>
#include <unordered_map>
#include <unordered_set>

#include "checker/utf8_convention.hpp"

namespace {

using category_set = std::unordered_set<std::string>;

// The configuration line that names the rules file: the place of findings
// about the grammar as a whole.
constexpr text_position kRulesLine{4, 1};

// What the checks share: the model, the start category and the findings.
struct grammar_checks {
  const grammar_model& model;
  std::string_view start;
  std::vector<finding> findings;

  void add(finding_level level, grammar_file file, text_position at, std::string text) {
    findings.push_back({level, file, at, std::move(text)});
  }
  // "regeln.txt:12", the place of a finding named in another.
  std::string line_of(grammar_file file, text_position at) const {
    return model.name(file) + ":" + std::to_string(at.line);
  }
  // A category or word of the files as the user wrote it.
  std::string shown(std::string_view text) const {
    if (!model.utf8) return std::string(text);
    std::string utf8;
    for (const char c : text) {
      char encoded[kMaxEncodedLength];
      utf8.append(encoded, encode_utf8(static_cast<unsigned char>(c), encoded));
    }
    return utf8;
  }
  // The analyser takes a category for the start category when its name
  // begins with the start text.
  bool is_start(const std::string& category) const {
    return category.size() >= start.size() && category.compare(0, start.size(), start) == 0;
  }
};

std::string groups_text(int groups) {
  if (groups == 0) return "no value groups";
  return std::to_string(groups) + (groups == 1 ? " value group" : " value groups");
}

// One category named with the value groups it carries there.
struct occurrence {
  const std::string& category;
  value_groups groups;
  grammar_file file;
  text_position at;
};

// Every category named in the grammar, in the order the analyser loads them:
// rule parts, lexicon entries, endings entries. A result without groups makes
// constituents without values, which agree with any.
template <class Visit>
void for_each_occurrence(const grammar_model& model, Visit visit) {
  for (const model_rule& rule : model.rules) {
    for (int k = 0; k < 3; ++k) {
      if (k == 1 && rule.unary) continue;
      const model_part& part = rule.parts[k];
      value_groups groups = part.groups;
      if (k == 2 && groups == 0) groups.reset();
      visit(occurrence{part.category, groups, grammar_file::rules, part.at});
    }
  }
  for (const model_entry& entry : model.lexicon) {
    visit(occurrence{entry.category, entry.groups, grammar_file::lexicon, entry.category_at});
  }
  for (const model_entry& entry : model.endings) {
    visit(occurrence{entry.category, entry.groups, grammar_file::endings, entry.category_at});
  }
}

// The number of value groups a category's uses must have: the one most of
// its uses with values have (of equally common ones, the one used first), and
// the first place that has it.
struct group_reference {
  int groups;
  grammar_file file;
  text_position at;
};
using group_references = std::unordered_map<std::string, group_reference>;

// How often one number of groups is used for a category, and where first.
struct group_usage {
  long long uses;
  std::size_t first_use;  // counted over all uses of the grammar
  group_reference place;
};

group_references reference_groups(const grammar_model& model) {
  std::unordered_map<std::string, std::map<int, group_usage>> usage;
  std::size_t uses = 0;
  for_each_occurrence(model, [&](const occurrence& use) {
    if (!use.groups) return;
    const group_usage first{0, uses++, {*use.groups, use.file, use.at}};
    ++usage[use.category].try_emplace(*use.groups, first).first->second.uses;
  });
  group_references references;
  for (const auto& [category, by_groups] : usage) {
    const auto fewer = [](const auto& a, const auto& b) {
      const group_usage &x = a.second, &y = b.second;
      return x.uses < y.uses || (x.uses == y.uses && x.first_use > y.first_use);
    };
    references.emplace(category,
                       std::max_element(by_groups.begin(), by_groups.end(), fewer)->second.place);
  }
  return references;
}

// A use with another number of groups than its category's reference can
// never agree with the uses that have the reference's.
group_references check_value_groups(grammar_checks& checks) {
  group_references references = reference_groups(checks.model);
  for_each_occurrence(checks.model, [&](const occurrence& use) {
    if (!use.groups) return;
    const group_reference& reference = references.at(use.category);
    if (reference.groups == *use.groups) return;
    checks.add(finding_level::error, use.file, use.at,
               checks.shown(use.category) + " has " + groups_text(*use.groups) + " here, " +
                   std::to_string(reference.groups) + " at " +
                   checks.line_of(reference.file, reference.at) + ": the two never agree");
  });
  return references;
}

// What a condition digit refers to: a part of the rule in a role.
struct digit_role {
  const model_part& part;
  const char* name;
  bool is_result;
};

// The groups the constituent matching `part` carries: the part's own, or
// those of its category where the part is written without values.
int groups_of_component(const model_part& part, const group_references& references) {
  if (part.groups) return *part.groups;
  const auto found = references.find(part.category);
  return found == references.end() ? 0 : found->second.groups;
}

void check_digit(grammar_checks& checks, const condition_digit& digit, const digit_role& role,
                 const group_references& references) {
  const int groups =
      role.is_result ? role.part.groups.value_or(0) : groups_of_component(role.part, references);
  if (digit.value <= groups) return;
  const std::string value = std::to_string(digit.value);
  checks.add(finding_level::error, grammar_file::rules, digit.at,
             "condition digit " + value + " names group " + value + " of the " + role.name + " " +
                 checks.shown(role.part.category) + ", which has " + groups_text(groups) +
                 (role.is_result ? ": the value is stored nowhere"
                                 : ": it stands for all values and restricts nothing"));
}

// A binary rule reads its digits in triples, a unary one in pairs; a step is
// taken while two digits remain, and a lone last digit is ignored.
void check_condition(grammar_checks& checks, const model_rule& rule,
                     const group_references& references) {
  const digit_role binary[] = {{rule.first(), "first part", false},
                               {rule.second(), "second part", false},
                               {rule.result(), "result", true}};
  const digit_role unary[] = {{rule.first(), "first part", false}, {rule.result(), "result", true}};
  const digit_role* roles = rule.unary ? unary : binary;
  const std::size_t step = rule.unary ? 2 : 3;
  const std::vector<condition_digit>& digits = rule.condition;
  std::size_t d = 0;
  while (digits.size() - d >= 2) {
    const std::size_t taken = std::min(step, digits.size() - d);
    for (std::size_t j = 0; j < taken; ++j)
      check_digit(checks, digits[d + j], roles[j], references);
    if (taken < step) {
      checks.add(finding_level::warning, grammar_file::rules, digits[d + 1].at,
                 "the last triple of the condition has no result digit: its groups are compared, "
                 "the result stored nowhere");
    }
    d += taken;
  }
  if (d < digits.size()) {
    checks.add(finding_level::warning, grammar_file::rules, digits[d].at,
               "condition digit " + std::to_string(digits[d].value) +
                   " stands alone behind the last " + (rule.unary ? "pair" : "triple") +
                   ": it is ignored");
  }
}

// The categories something produces: lexicon readings (of whole words, stems
// and endings alike) and rule results.
category_set produced_categories(const grammar_model& model) {
  category_set produced;
  for (const model_entry& entry : model.lexicon) produced.insert(entry.category);
  for (const model_rule& rule : model.rules) produced.insert(rule.result().category);
  return produced;
}

void check_parts_produced(grammar_checks& checks, const category_set& produced) {
  for (const model_rule& rule : checks.model.rules) {
    for (int k = 0; k < 2; ++k) {
      if (k == 1 && rule.unary) continue;
      const model_part& part = rule.parts[k];
      if (produced.count(part.category) != 0) continue;
      checks.add(finding_level::error, grammar_file::rules, part.at,
                 "no lexicon entry has the category " + checks.shown(part.category) +
                     " and no rule makes it: rule " + std::to_string(rule.number) +
                     " can never apply");
    }
  }
}

// ---- unary cycles

// The unary rules by the category of their part.
using unary_graph = std::unordered_map<std::string, std::vector<const model_rule*>>;

unary_graph unary_rules(const grammar_model& model) {
  unary_graph graph;
  for (const model_rule& rule : model.rules) {
    if (rule.unary) graph[rule.first().category].push_back(&rule);
  }
  return graph;
}

// The shortest chain of unary rules from `from` to `to` (empty when they are
// the same category), or none.
std::optional<std::vector<const model_rule*>> unary_path(const unary_graph& graph,
                                                         const std::string& from,
                                                         const std::string& to) {
  std::unordered_map<std::string, const model_rule*> reached_by{{from, nullptr}};
  std::deque<std::string> queue{from};
  while (!queue.empty() && reached_by.count(to) == 0) {
    const std::string category = queue.front();
    queue.pop_front();
    const auto out = graph.find(category);
    if (out == graph.end()) continue;
    for (const model_rule* rule : out->second) {
      if (reached_by.try_emplace(rule->result().category, rule).second) {
        queue.push_back(rule->result().category);
      }
    }
  }
  if (reached_by.count(to) == 0) return std::nullopt;
  std::vector<const model_rule*> path;
  for (std::string at = to; reached_by.at(at) != nullptr;
       at = reached_by.at(at)->first().category) {
    path.insert(path.begin(), reached_by.at(at));
  }
  return path;
}

std::string cycle_text(const grammar_checks& checks, const std::vector<const model_rule*>& cycle) {
  if (cycle.size() == 1) {
    return "unary rule " + std::to_string(cycle[0]->number) + " makes " +
           checks.shown(cycle[0]->result().category) + " of " +
           checks.shown(cycle[0]->first().category);
  }
  std::string chain = checks.shown(cycle[0]->first().category);
  std::string rules;
  for (const model_rule* rule : cycle) {
    chain += " -> " + checks.shown(rule->result().category);
    rules += (rules.empty() ? "" : ", ") + std::string("rule ") + std::to_string(rule->number) +
             " at line " + std::to_string(rule->first().at.line);
  }
  return "unary rules form the cycle " + chain + " (" + rules + ")";
}

// Reports, for each unary rule on a cycle that no report has named yet, the
// shortest cycle through it, at that rule. The rules are taken from the last
// one up, so a cycle is reported at the rule that closes it, reading the file
// from its top.
void check_unary_cycles(grammar_checks& checks) {
  const unary_graph graph = unary_rules(checks.model);
  std::set<const model_rule*> named;
  const std::vector<model_rule>& rules = checks.model.rules;
  for (auto rule = rules.rbegin(); rule != rules.rend(); ++rule) {
    if (!rule->unary || named.count(&*rule) != 0) continue;
    auto cycle = unary_path(graph, rule->result().category, rule->first().category);
    if (!cycle) continue;
    cycle->insert(cycle->begin(), &*rule);
    named.insert(cycle->begin(), cycle->end());
    checks.add(finding_level::warning, grammar_file::rules, rule->first().at,
               cycle_text(checks, *cycle) +
                   ": constituents are built without end (the analyser stops at its node limit)");
  }
}

// ---- what never joins a complete analysis

void check_lexicon_categories_used(grammar_checks& checks) {
  category_set used;
  for (const model_rule& rule : checks.model.rules) {
    used.insert(rule.first().category);
    if (!rule.unary) used.insert(rule.second().category);
  }
  category_set seen;
  for (const model_entry& entry : checks.model.lexicon) {
    if (!seen.insert(entry.category).second || used.count(entry.category) != 0 ||
        checks.is_start(entry.category)) {
      continue;
    }
    checks.add(finding_level::warning, grammar_file::lexicon, entry.category_at,
               "no rule uses the category " + checks.shown(entry.category) +
                   " and it is not the start category " + std::string(checks.start) +
                   ": its words never join a complete analysis");
  }
}

// The categories from which rules lead to the start category.
category_set leading_to_start(const grammar_checks& checks) {
  std::unordered_map<std::string, std::vector<const model_rule*>> by_result;
  std::deque<std::string> queue;
  category_set leading;
  for (const model_rule& rule : checks.model.rules) {
    by_result[rule.result().category].push_back(&rule);
    if (checks.is_start(rule.result().category) && leading.insert(rule.result().category).second) {
      queue.push_back(rule.result().category);
    }
  }
  while (!queue.empty()) {
    const auto made = by_result.find(queue.front());
    queue.pop_front();
    if (made == by_result.end()) continue;
    for (const model_rule* rule : made->second) {
      for (int k = 0; k < 2; ++k) {
        if (k == 1 && rule->unary) continue;
        const std::string& part = rule->parts[k].category;
        if (leading.insert(part).second) queue.push_back(part);
      }
    }
  }
  return leading;
}

void check_results_lead_to_start(grammar_checks& checks) {
  const category_set leading = leading_to_start(checks);
  for (const model_rule& rule : checks.model.rules) {
    const model_part& result = rule.result();
    if (leading.count(result.category) != 0 || checks.is_start(result.category)) continue;
    checks.add(finding_level::warning, grammar_file::rules, result.at,
               "no rule leads from " + checks.shown(result.category) + " to the start category " +
                   std::string(checks.start) + ": rule " + std::to_string(rule.number) +
                   " never takes part in a complete analysis");
  }
}

// False, with its error, when nothing makes the start category.
bool check_start_produced(grammar_checks& checks, const category_set& produced) {
  if (std::any_of(produced.begin(), produced.end(),
                  [&](const std::string& category) { return checks.is_start(category); })) {
    return true;
  }
  checks.add(finding_level::error, grammar_file::configuration, kRulesLine,
             "no rule makes the start category " + std::string(checks.start) +
                 " and no lexicon entry has it: no sentence can have a complete analysis");
  return false;
}

void check_endings_in_lexicon(grammar_checks& checks) {
  category_set words;
  for (const model_entry& entry : checks.model.lexicon) words.insert(entry.word);
  for (const model_entry& ending : checks.model.endings) {
    if (words.count(ending.word) != 0) continue;
    checks.add(finding_level::warning, grammar_file::endings, ending.word_at,
               "the ending " + checks.shown(ending.word) +
                   " is no word of the lexicon, which gives an ending its readings: it is never "
                   "cut off");
  }
}

}  // namespace

std::vector<finding> check_grammar(const grammar_model& model, std::string_view start_category) {
  grammar_checks checks{model, start_category, {}};
  const group_references references = check_value_groups(checks);
  for (const model_rule& rule : model.rules) check_condition(checks, rule, references);
  const category_set produced = produced_categories(model);
  check_parts_produced(checks, produced);
  check_unary_cycles(checks);
  check_lexicon_categories_used(checks);
  if (check_start_produced(checks, produced)) check_results_lead_to_start(checks);
  check_endings_in_lexicon(checks);
  std::stable_sort(checks.findings.begin(), checks.findings.end(),
                   [](const finding& a, const finding& b) {
                     if (a.file != b.file) return a.file < b.file;
                     if (a.at.line != b.at.line) return a.at.line < b.at.line;
                     return a.at.column < b.at.column;
                   });
  return std::move(checks.findings);
}

#include "analyser/grammar/diagnosis.hpp"

#include <climits>

namespace {
constexpr int kNone = INT_MAX;

// Fewest fragments: best[e] fragments cover positions 1..e, the last being
// last[e] (null: the uncovered position e itself).
struct covering {
  std::vector<int> best;
  std::vector<const parse_node*> last;
};

covering cover(const node_list& nodes, int word_count) {
  covering c{std::vector<int>(word_count + 1, kNone), std::vector<const parse_node*>(word_count + 1)};
  c.best[0] = 0;
  std::vector<std::vector<const parse_node*>> ending_at(word_count + 1);
  for (const parse_node* n = nodes.head; n != nullptr; n = n->next) {
    if (n->seg_start >= 1 && n->seg_start <= n->seg_end && n->seg_end <= word_count) {
      ending_at[n->seg_end].push_back(n);
    }
  }
  // Every position before e is covered by then, so best[start - 1] is a count.
  for (int e = 1; e <= word_count; ++e) {
    for (const parse_node* n : ending_at[e]) {  // in creation order: the first made wins ties
      const int before = c.best[n->seg_start - 1];
      if (before + 1 < c.best[e]) {
        c.best[e] = before + 1;
        c.last[e] = n;
      }
    }
    if (c.best[e] == kNone) c.best[e] = c.best[e - 1] + 1;  // an uncovered word
  }
  return c;
}

// Group `i` of a value set that has it; all values for group 0 (no group
// named, as the group counts differ).
unsigned char group_byte(const subcat_value_set* values, int i) {
  return i == 0 ? kAllValues : values[i];
}

// Why part k of `rule` disagrees with `node`, when it does.
bool part_blocks(const grammar_rule& rule, const parse_node& node, int k, blocked_rule& why) {
  const subcat_value_set* a = rule.parts[k - 1].subcat_values;
  const subcat_value_set* b = node.subcat_values;
  if (subcat_agree(rule, node, k)) return false;
  why.reason = k == kFirstPart ? block_reason::first_part : block_reason::second_part;
  why.first_values = a;
  why.second_values = b;
  why.group = 0;
  if (a[0] == b[0]) {
    for (int i = 1; i <= a[0] && why.group == 0; ++i) {
      if ((a[i] & b[i]) == 0) why.group = i;
    }
  }
  why.first_group_byte = group_byte(a, why.group);
  why.second_group_byte = group_byte(b, why.group);
  return true;
}

// The first triple of the condition whose groups share no value, when one does.
bool condition_blocks(const grammar_rule& rule, const parse_node& left, const parse_node& right,
                      blocked_rule& why) {
  const condition_values* condition = rule.condition;
  if (condition == nullptr) return false;
  for (int d = 1; d + 1 <= condition[0]; d += 3) {
    const unsigned char l = subcat_group(left, condition[d]);
    const unsigned char r = subcat_group(right, condition[d + 1]);
    if ((l & r) != 0) continue;
    why.reason = block_reason::condition;
    why.group = condition[d];
    why.second_group = condition[d + 1];
    why.first_values = left.subcat_values;
    why.second_values = right.subcat_values;
    why.first_group_byte = l;
    why.second_group_byte = r;
    return true;
  }
  return false;
}

// The same way of failing: rule, reason, groups and values.
bool same_failure(const blocked_rule& a, const blocked_rule& b) {
  return a.rule == b.rule && a.reason == b.reason && a.group == b.group &&
         a.second_group == b.second_group && a.first_group_byte == b.first_group_byte &&
         a.second_group_byte == b.second_group_byte &&
         a.first->category == b.first->category && a.second->category == b.second->category;
}

void add_failure(std::vector<blocked_rule>& blocked, const blocked_rule& why) {
  for (const blocked_rule& b : blocked) {
    if (same_failure(b, why)) return;
  }
  blocked.push_back(why);
}

// Adds the rules the parser would try with `first` and `second` as
// components whose categories match but which make no node.
void add_blocked_between(const grammar_tables& grammar, const parse_node& first,
                         const parse_node& second, std::vector<blocked_rule>& blocked) {
  for (const grammar_rule* rule = first_rule_for(grammar, first); rule != nullptr;
       rule = next_rule_for(*rule, first)) {
    if (!is_binary(*rule)) continue;
    grammar_rule bare = *rule;  // the rule's categories without its value sets
    bare.parts[0].subcat_values = bare.parts[1].subcat_values = nullptr;
    if (!part_matches(bare, first, kFirstPart) || !part_matches(bare, second, kSecondPart)) continue;
    blocked_rule why;
    if (part_blocks(*rule, first, kFirstPart, why) || part_blocks(*rule, second, kSecondPart, why) ||
        condition_blocks(*rule, first, second, why)) {
      why.rule = rule;
      why.first = &first;
      why.second = &second;
      add_failure(blocked, why);
    }
  }
}

// The nodes that cover exactly the span of `fragment`, in creation order.
std::vector<const parse_node*> same_span(const node_list& nodes, const parse_node& fragment) {
  std::vector<const parse_node*> found;
  for (const parse_node* n = nodes.head; n != nullptr; n = n->next) {
    if (n->seg_start == fragment.seg_start && n->seg_end == fragment.seg_end) found.push_back(n);
  }
  return found;
}

std::vector<blocked_rule> blocked_between_spans(const grammar_tables& grammar,
                                                const node_list& nodes, const parse_node& first,
                                                const parse_node& second) {
  std::vector<blocked_rule> blocked;
  const std::vector<const parse_node*> lefts = same_span(nodes, first);
  const std::vector<const parse_node*> rights = same_span(nodes, second);
  int pairs = 0;
  for (const parse_node* l : lefts) {
    for (const parse_node* r : rights) {
      if (++pairs > kMaxPairsLooked) return blocked;
      add_blocked_between(grammar, *l, *r, blocked);
    }
  }
  return blocked;
}
// True when the parser tries `rule` for a first component of `category`:
// the rule stands in the run of rules of the category's initial.
bool tried_for(const grammar_tables& grammar, const grammar_rule& rule, category_entry* category) {
  parse_node probe{};
  probe.category = category;
  for (const grammar_rule* r = first_rule_for(grammar, probe); r != nullptr;
       r = next_rule_for(*r, probe)) {
    if (r == &rule) return true;
  }
  return false;
}

// True when a node of `category` starts at `start` (or, with `start` 0, ends
// at `end`).
bool node_of_category_at(const node_list& nodes, const category_entry& category, int start,
                         int end) {
  for (const parse_node* n = nodes.head; n != nullptr; n = n->next) {
    const bool placed = start != 0 ? n->seg_start == start : n->seg_end == end;
    if (placed && same_category_key(*n->category, category)) return true;
  }
  return false;
}

// The rules that would extend fragment `index` but find no neighbour of the
// category of their other part: behind it, then before it.
void add_missing_parts(const grammar_tables& grammar, const node_list& nodes, int index,
                       const parse_node& fragment, std::vector<missing_part>& missing) {
  const int behind = fragment.seg_end + 1;
  const int before = fragment.seg_start - 1;
  for (const grammar_rule* rule = grammar.rule_list; rule != nullptr; rule = rule->next) {
    if (!is_binary(*rule)) continue;
    if (part_matches(*rule, fragment, kFirstPart) &&
        tried_for(grammar, *rule, fragment.category) &&
        !node_of_category_at(nodes, *rule->parts[1].category, behind, 0)) {
      missing.push_back({rule, index, kSecondPart, behind});
    }
    if (part_matches(*rule, fragment, kSecondPart) &&
        tried_for(grammar, *rule, rule->parts[0].category) &&
        (before < 1 || !node_of_category_at(nodes, *rule->parts[0].category, 0, before))) {
      missing.push_back({rule, index, kFirstPart, before});
    }
  }
}

std::vector<missing_part> missing_parts(const grammar_tables& grammar, const node_list& nodes,
                                        const std::vector<const parse_node*>& fragments) {
  std::vector<missing_part> missing;
  for (std::size_t i = 0; i < fragments.size(); ++i) {
    if (fragments[i] != nullptr) {
      add_missing_parts(grammar, nodes, static_cast<int>(i), *fragments[i], missing);
    }
  }
  return missing;
}
}  // namespace

sentence_diagnosis diagnose(const grammar_tables& grammar, const node_list& nodes,
                            int word_count) {
  sentence_diagnosis d;
  if (word_count <= 0) return d;
  const covering c = cover(nodes, word_count);
  for (int e = word_count; e > 0;) {
    const parse_node* n = c.last[e];
    d.fragments.insert(d.fragments.begin(), n);
    if (n == nullptr) d.uncovered.insert(d.uncovered.begin(), e);
    e = n != nullptr ? n->seg_start - 1 : e - 1;
  }
  for (std::size_t i = 0; i + 1 < d.fragments.size(); ++i) {
    const parse_node* first = d.fragments[i];
    const parse_node* second = d.fragments[i + 1];
    d.blocked.push_back(first != nullptr && second != nullptr
                            ? blocked_between_spans(grammar, nodes, *first, *second)
                            : std::vector<blocked_rule>{});
  }
  d.missing = missing_parts(grammar, nodes, d.fragments);
  return d;
}

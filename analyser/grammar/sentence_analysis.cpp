#include "analyser/grammar/sentence_analysis.hpp"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <iterator>

#include "analyser/base/fatal_error.hpp"
#include "analyser/base/text_utils.hpp"
#include "analyser/grammar/parser.hpp"

namespace {
struct outcome_entry {
  sentence_outcome outcome;
  const char* name;
};
// In the order of sentence_outcome, so that an outcome finds its name by its value.
constexpr outcome_entry kOutcomes[] = {
    {sentence_outcome::no_words, "no_words"},
    {sentence_outcome::unknown_word, "unknown_word"},
    {sentence_outcome::no_number_reading, "no_number_reading"},
    {sentence_outcome::node_limit, "node_limit"},
    {sentence_outcome::timeout, "timeout"},
    {sentence_outcome::analysed, "analysed"},
    {sentence_outcome::no_analysis, "no_analysis"},
    {sentence_outcome::unreadable, "unreadable"},
};

constexpr bool in_outcome_order() {
  for (std::size_t i = 0; i < std::size(kOutcomes); ++i) {
    if (static_cast<std::size_t>(kOutcomes[i].outcome) != i) return false;
  }
  return true;
}
static_assert(in_outcome_order());

// A copy of `label` in sentence storage, terminated.
const char* stored_label(node_list& nodes, std::string_view label) {
  auto* copy = static_cast<unsigned char*>(nodes.storage.allocate(label.size() + 1));
  copy_bytes_nul(copy, byte_data(label), byte_count(label));
  return reinterpret_cast<const char*>(copy);
}

}  // namespace

const char* outcome_name(sentence_outcome outcome) {
  return kOutcomes[static_cast<std::size_t>(outcome)].name;
}

bool outcome_of(std::string_view name, sentence_outcome& outcome) {
  for (const outcome_entry& e : kOutcomes) {
    if (name == e.name) {
      outcome = e.outcome;
      return true;
    }
  }
  return false;
}

bool make_word_nodes(node_list& nodes, const sentence_words& words) {
  for (const word_reading& r : words.readings) {
    const char* label =
        needing_memory("keep_node: malloc Fehler", [&] { return stored_label(nodes, r.label); });
    if (keep_node(nodes, r.entry->category, r.entry->subcat_values, nullptr, nullptr, nullptr,
                  r.position, r.position, label) == nullptr) {
      return false;
    }
  }
  return true;
}

namespace {
// Nodes beyond the word nodes that a parse may make to count the analyses
// itself (see counted_by_parse): many times what a sentence of everyday
// length needs, and little work to lose when a forest needs more.
constexpr long kCountingParseNodes = 2000;

// Cuts the node list back to its first `count` nodes, of which `last` is
// the last.
void cut_list(node_list& nodes, parse_node* last, long count) {
  last->next = nullptr;
  nodes.tail = last;
  nodes.count = count;
}

// A set of at most `most` nodes and their components, in one table of open
// addresses: a parse's walk makes one block of memory, where a node set of
// the library makes one for every node put in.
class node_set {
 public:
  explicit node_set(std::size_t most)
      : bits_(std::bit_width(2 * most + 1) + 1),
        slots_(std::size_t{1} << bits_, nullptr) {}
  void insert(const parse_node* node) { slots_[place_of(node)] = node; }
  bool contains(const parse_node* node) const { return slots_[place_of(node)] == node; }

 private:
  // The node's slot, or the empty one where it would go.
  std::size_t place_of(const parse_node* node) const {
    constexpr std::uint64_t kSpread = 0x9E3779B97F4A7C15u;
    const std::size_t mask = slots_.size() - 1;
    const std::uint64_t address = reinterpret_cast<std::uintptr_t>(node);
    auto place = static_cast<std::size_t>((address * kSpread) >> (64 - bits_));
    while (slots_[place] != nullptr && slots_[place] != node) place = (place + 1) & mask;
    return place;
  }

  int bits_;
  std::vector<const parse_node*> slots_;
};

// The rules of the nodes below the complete analyses among every node of a
// parse, each once, in increasing order. A node's components are made before
// it, so a walk from the last node back meets every node after all the nodes
// above it.
std::vector<int> rules_below_analyses(const node_list& nodes, const analysis_target& target) {
  std::vector<const parse_node*> made;
  made.reserve(static_cast<std::size_t>(nodes.count));
  for (const parse_node* n = nodes.head; n != nullptr; n = n->next) made.push_back(n);
  node_set below(made.size());
  std::vector<int> rules;
  for (auto n = made.rbegin(); n != made.rend(); ++n) {
    if (!is_complete_analysis(**n, target) && !below.contains(*n)) continue;
    if ((*n)->rule != nullptr) rules.push_back((*n)->rule->rule_number);
    if ((*n)->left_comp != nullptr) below.insert((*n)->left_comp);
    if ((*n)->right_comp != nullptr) below.insert((*n)->right_comp);
  }
  std::sort(rules.begin(), rules.end());
  rules.erase(std::unique(rules.begin(), rules.end()), rules.end());
  return rules;
}

// Counts the analyses of a parse that stops at the first one by making every
// node instead, when that takes few: the list then holds one node per
// analysis, so the count is that of its complete nodes, far cheaper than the
// packed chart. The list is then cut back after the first analysis, to what
// the parse that stops there leaves, so the result is the same in every
// byte. False, with the word nodes alone in the list again, when the parse
// needs more nodes than that.
bool counted_by_parse(const analysis_setup& setup, node_list& nodes, sentence_analysis& result) {
  parse_node* const last_word = nodes.tail;
  const long words = nodes.count;
  const long limit = nodes.limit;
  nodes.limit = std::min(limit, words + kCountingParseNodes);
  parse_work work{setup.grammar, nodes, setup.log};
  work.tables = setup.parse_tables;
  work.deadline = setup.deadline;
  const parse_end end = parse_sentence(work);
  nodes.limit = limit;
  if (end == parse_end::node_limit) {
    cut_list(nodes, last_word, words);
    return false;
  }
  if (end == parse_end::timeout) {
    result.outcome = sentence_outcome::timeout;
    return true;
  }
  parse_node* first = nullptr;
  long first_at = 0;
  std::uint64_t analyses = 0;
  long at = 0;
  for (parse_node* n = nodes.head; n != nullptr; n = n->next) {
    ++at;
    if (!is_complete_analysis(*n, result.target)) continue;
    ++analyses;
    if (first == nullptr) {
      first = n;
      first_at = at;
    }
  }
  result.count = analysis_count{false, big_count(analyses)};
  if (setup.note_rules) result.rules_of_analyses = rules_below_analyses(nodes, result.target);
  if (first == nullptr) {
    // A parse that finds no analysis makes every node: this list.
    result.outcome = sentence_outcome::no_analysis;
    return true;
  }
  // A word node that is an analysis ends that parse before its first node.
  if (first_at <= words) {
    cut_list(nodes, last_word, words);
  } else {
    cut_list(nodes, first, first_at);
  }
  result.stopped_early = true;
  result.axiom = first;
  result.outcome = sentence_outcome::analysed;
  return true;
}

// Parses the sentence whose word nodes are in `nodes` and finds its analysis.
void parse_words(const analysis_setup& setup, node_list& nodes, sentence_analysis& result) {
  result.target = target_of(setup, result.words.word_count);
  const analysis_target& target = result.target;
  // A trace shows every step of the parse: it gets the parse alone.
  const bool count_by_parse =
      setup.count_analyses && setup.stop_at_first_analysis && !setup.log.trace;
  if (count_by_parse && counted_by_parse(setup, nodes, result)) return;
  if (setup.count_analyses) {
    result.count =
        count_analyses(setup.grammar, nodes.head, target, setup.deadline, setup.count_tables);
    if (result.count->timed_out) {
      // A count cut short has no number to give.
      result.count.reset();
      result.outcome = sentence_outcome::timeout;
      return;
    }
  }
  parse_work work{setup.grammar, nodes, setup.log};
  if (setup.stop_at_first_analysis) work.stop_at = &target;
  work.tables = setup.parse_tables;
  work.deadline = setup.deadline;
  const parse_end end = parse_sentence(work);
  if (end == parse_end::node_limit || end == parse_end::timeout) {
    result.outcome =
        end == parse_end::timeout ? sentence_outcome::timeout : sentence_outcome::node_limit;
    return;
  }
  result.stopped_early = end == parse_end::first_analysis;
  // A parse that stopped at a node it made stopped at the first analysis,
  // the last node; otherwise (a word node is one already) the list is searched.
  const bool made_last = result.stopped_early && nodes.tail->rule != nullptr;
  result.axiom = made_last ? nodes.tail : find_axiom_node(nodes.head, target);
  result.outcome =
      result.axiom != nullptr ? sentence_outcome::analysed : sentence_outcome::no_analysis;
}
}  // namespace

analysis_target target_of(const analysis_setup& setup, int word_count) {
  return {byte_data(setup.start_category), byte_count(setup.start_category), word_count};
}

sentence_analysis analyse_sentence(const analysis_setup& setup, node_list& nodes,
                                   const unsigned char* sentence) {
  nodes.clear();
  sentence_analysis result;
  result.text = sentence;
  result.nodes = &nodes;
  result.words = lex_analysis(setup.lexicon, setup.word_end_chars, sentence);
  if (!make_word_nodes(nodes, result.words)) {
    result.outcome = sentence_outcome::node_limit;
  } else if (result.words.number_without_entry) {
    result.outcome = sentence_outcome::no_number_reading;
  } else if (result.words.word_count < 0) {
    result.outcome = sentence_outcome::unknown_word;
  } else if (result.words.word_count > 0) {
    parse_words(setup, nodes, result);
  }
  return result;
}

// mirask::result: what a parse found, turned into the library's values on
// demand; the records come from the same writers as the command line's.
#include <iterator>
#include <unordered_map>

#include "analyser/base/fatal_error.hpp"
#include "analyser/base/utf8_text.hpp"
#include "analyser/output/analysis_tree.hpp"
#include "analyser/output/brackets.hpp"
#include "analyser/output/json_writer.hpp"
#include "analyser/output/svg_tree.hpp"
#include "analyser/library/library_data.hpp"

namespace mirask {
namespace {
value_sets values_of(const subcat_value_set* set) {
  if (set == nullptr) return std::nullopt;
  std::vector<std::vector<int>> groups;
  for (int g = 1; g <= set[0]; ++g) {
    const group_value_list values = group_values(set[g]);
    groups.emplace_back(values.begin(), values.end());
  }
  return groups;
}

std::string text_of(const unsigned char* bytes, int length) {
  return to_utf8(text_view(bytes, length));
}

std::string category_of(const parse_node& n) { return to_utf8(category_name(*n.category)); }

// The nodes of a sentence analysis all have labels: the entry's, the
// number's or the rule's.
tree_node tree_of(const parse_node* root, const sentence_analysis& analysis) {
  const std::vector<std::string_view> words = position_words(analysis.words);
  tree_node top;
  std::vector<tree_node*> open;  // the nodes entered and not left
  walk_tree(
      root,
      [&](const parse_node* n, bool) {
        tree_node* t = open.empty() ? &top : &open.back()->children.emplace_back();
        t->category = category_of(*n);
        t->start = n->seg_start;
        t->end = n->seg_end;
        t->values = values_of(n->subcat_values);
        t->rule = n->rule != nullptr ? n->rule->rule_number : 0;
        t->label = to_utf8(n->label);
        // A leaf is a word node, made for a position of the sentence's words.
        if (n->left_comp == nullptr) t->word = to_utf8(words[n->seg_start]);
        open.push_back(t);
      },
      [&](const parse_node*) { open.pop_back(); });
  return top;
}

// Runs `work`; a memory shortage inside becomes an error.
template <typename Work>
decltype(auto) guarded(Work&& work) {
  try {
    return work();
  } catch (const fatal_end& end) {
    throw detail::error_of(end);
  } catch (const std::bad_alloc&) {
    throw error("malloc Fehler");
  }
}

record_settings settings_of(const detail::result_data& d) {
  const parse_options& o = d.options;
  return {o.nodes, o.all, o.max_analyses, o.why, &d.grammar->loaded.grammar,
          &d.grammar->loaded.lexicon};
}

// The analysis the complete analyses are taken from: this one, or the full
// parse of the same sentence when this one stopped at its first analysis.
const std::vector<const parse_node*>& complete_of(const detail::result_data& d) {
  std::lock_guard<std::mutex> lock(d.complete_mutex);
  if (d.complete) return *d.complete;
  const detail::result_data* from = &d;
  if (d.analysis.stopped_early) {
    d.full = std::make_unique<detail::result_data>();
    d.full->grammar = d.grammar;
    d.full->options = d.options;
    d.full->options.all = true;
    d.full->text = d.text;
    d.full->as_read = d.as_read;
    d.full->given_as_bytes = d.given_as_bytes;
    sentence_analyser core(d.grammar->loaded);
    detail::analyse_into(*d.full, core);
    from = d.full.get();
  }
  d.complete = complete_analyses(from->analysis);
  return *d.complete;
}
}  // namespace

std::optional<std::uint64_t> analysis_count::value() const {
  if (unbounded || digits.empty()) return std::nullopt;
  std::uint64_t v = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (v > (UINT64_MAX - digit) / 10) return std::nullopt;  // beyond 64 bits
    v = v * 10 + digit;
  }
  return v;
}

namespace {
struct outcome_pair {
  sentence_outcome inside;
  outcome outside;
};
// In the order of sentence_outcome, so that a sentence's outcome finds its
// pair by its value.
constexpr outcome_pair kOutcomes[] = {
    {sentence_outcome::no_words, outcome::no_words},
    {sentence_outcome::unknown_word, outcome::unknown_word},
    {sentence_outcome::no_number_reading, outcome::no_number_reading},
    {sentence_outcome::node_limit, outcome::node_limit},
    {sentence_outcome::timeout, outcome::timeout},
    {sentence_outcome::analysed, outcome::analysed},
    {sentence_outcome::no_analysis, outcome::no_analysis},
    {sentence_outcome::unreadable, outcome::unreadable},
};

constexpr bool in_outcome_order() {
  for (std::size_t i = 0; i < std::size(kOutcomes); ++i) {
    if (static_cast<std::size_t>(kOutcomes[i].inside) != i) return false;
  }
  return true;
}
static_assert(in_outcome_order());
}  // namespace

mirask::outcome result::outcome() const {
  return kOutcomes[static_cast<std::size_t>(data_->analysis.outcome)].outside;
}

std::string_view outcome_name(outcome o) {
  for (const outcome_pair& p : kOutcomes) {
    if (p.outside == o) return ::outcome_name(p.inside);
  }
  return "";
}

const std::string& result::text() const { return data_->text; }

std::string result::sentence() const {
  const unsigned char* text = data_->analysis.text;
  if (text == nullptr) return "";
  std::string_view s(reinterpret_cast<const char*>(text));
  if (!s.empty()) s.remove_suffix(1);  // the closing blank
  return to_utf8(s);
}

std::vector<word> result::words() const {
  std::vector<word> out;
  for (const sentence_word& w : data_->analysis.words.words) {
    word x{w.position, text_of(w.text, w.length), "", ""};
    if (w.stem_length > 0) {
      x.stem = text_of(w.text, w.stem_length);
      x.ending = text_of(w.text + w.stem_length, w.length - w.stem_length);
    }
    out.push_back(std::move(x));
  }
  return out;
}

std::vector<reading> result::readings() const {
  std::vector<reading> out;
  for (const word_reading& r : data_->analysis.words.readings) {
    out.push_back({r.position, to_utf8(category_name(*r.entry->category)),
                   values_of(r.entry->subcat_values), to_utf8(r.label)});
  }
  return out;
}

std::string result::unknown_word() const {
  const sentence_word& w = data_->analysis.words.unknown;
  return w.length > 0 ? text_of(w.text, w.length) : "";
}

std::string result::problem() const { return data_->problem; }

std::optional<analysis_count> result::count() const {
  const std::optional<::analysis_count>& c = data_->analysis.count;
  if (!c) return std::nullopt;
  return analysis_count{c->unbounded, c->unbounded ? "" : c->value.to_decimal()};
}

std::optional<tree_node> result::analysis() const {
  const parse_node* axiom = data_->analysis.axiom;
  if (axiom == nullptr) return std::nullopt;
  return guarded([&] { return tree_of(axiom, data_->analysis); });
}

std::string result::brackets(bool numbered) const {
  const parse_node* axiom = data_->analysis.axiom;
  if (axiom == nullptr) return "";
  return guarded([&] { return to_utf8(bracket_line(axiom, numbered, log_output{nullptr}).bracket_text); });
}

long result::complete_analyses() const {
  return guarded([&] { return static_cast<long>(complete_of(*data_).size()); });
}

namespace {
// Complete analysis k and the analysis it belongs to.
std::pair<const parse_node*, const sentence_analysis*> complete_at(const detail::result_data& d,
                                                                   long k) {
  const std::vector<const parse_node*>& complete = complete_of(d);
  if (k < 0 || k >= static_cast<long>(complete.size())) {
    throw error("no complete analysis " + std::to_string(k));
  }
  const detail::result_data& from = d.full != nullptr ? *d.full : d;
  return {complete[k], &from.analysis};
}
}  // namespace

tree_node result::complete_analysis(long k) const {
  return guarded([&] {
    const auto [root, analysis] = complete_at(*data_, k);
    return tree_of(root, *analysis);
  });
}

std::string result::svg(long k) const {
  return guarded([&] {
    const auto [root, analysis] = complete_at(*data_, k);
    return svg_tree(root, *analysis);
  });
}

std::vector<node_row> result::nodes() const {
  return guarded([&] {
    std::vector<node_row> rows;
    std::unordered_map<const parse_node*, long> id;
    for (const parse_node* n = data_->nodes.head; n != nullptr; n = n->next) {
      const long number = static_cast<long>(rows.size()) + 1;
      id[n] = number;
      rows.push_back({number, category_of(*n), n->seg_start, n->seg_end,
                      values_of(n->subcat_values), n->rule != nullptr ? n->rule->rule_number : 0,
                      to_utf8(n->label),
                      n->left_comp != nullptr ? id.at(n->left_comp) : 0,
                      n->right_comp != nullptr ? id.at(n->right_comp) : 0});
    }
    return rows;
  });
}

long result::node_count() const { return data_->nodes.count; }
long result::time_us() const { return data_->analysis.time_us; }

std::string result::json() const {
  return guarded([&] { return json_record(data_->analysis, settings_of(*data_)); });
}

std::string result::diagnosis_json() const {
  return guarded([&] { return json_diagnosis(data_->analysis, settings_of(*data_)); });
}

std::string result::svg() const {
  const parse_node* axiom = data_->analysis.axiom;
  if (axiom == nullptr) return "";
  return guarded([&] { return svg_tree(axiom, data_->analysis); });
}

}  // namespace mirask

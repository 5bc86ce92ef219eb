// The analyser's sentence pipeline on a fuzzed small grammar: rules, lexicon,
// endings and input text packed into one input as
//   rules %% lexicon %% endings %% input text [%% settings]
// (parts separated by a line "%%"). The optional settings part holds up to
// four lines: the word delimiter codes, the sentence delimiter codes, the
// start category, and "console" to read the input text as the console, with
// a wait after every sentence; a missing line keeps the example's setting.
//
// Two analysers load the same files and read the same sentences, both with
// all output options on and under a small node limit, so that no grammar can
// explode. The first runs as a normal run does: words looked up in the
// lexicon's word table, nodes made by the indexed parser. The second is the
// reference: it traces, looks words up by scanning the first-letter index
// and makes its nodes with the reference parser. Both must make the same
// nodes in the same order and stop at the same point.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analyser/driver/analyser_run.hpp"
#include "analyser/driver/startup.hpp"
#include "analyser/grammar/parse_node.hpp"
#include "analyser/grammar/rules_reader.hpp"
#include "analyser/lexicon/dict_reader.hpp"
#include "analyser/lexicon/word_lookup.hpp"
#include "fuzz/analyser_fixture.hpp"

namespace {

enum PartNumber { kRulesPart, kLexiconPart, kEndingsPart, kInputPart, kSettingsPart, kPartCount };

// Nodes of one sentence: enough for real analyses, few enough that the
// passes stay fast.
constexpr long kFuzzNodeLimit = 400;
// Sentences analysed of one input text.
constexpr int kMaxSentences = 8;

struct Settings {
  std::string word_ends = "32,44,59";
  std::string sentence_ends = "46,33,63";
  std::string start_category = "SATZ";
  bool console = false;
};

Settings settings_from(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.emplace_back(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  Settings settings;
  if (lines.size() > 0) settings.word_ends = lines[0];
  if (lines.size() > 1) settings.sentence_ends = lines[1];
  if (lines.size() > 2) settings.start_category = lines[2];
  if (lines.size() > 3) settings.console = lines[3] == "console";
  return settings;
}

// One analyser over the packed files, reading its sentences from the input
// text as a file or as its console.
class Analysis {
 public:
  // The reference analysis traces, which makes the parser take its
  // reference path, and looks words up by scanning the index.
  Analysis(const std::vector<std::string_view>& parts, const Settings& settings, bool reference)
      : analyser_(settings.console ? part_or_empty(parts, kInputPart) : std::string_view()),
        input_text_(part_or_empty(parts, kInputPart)),
        reference_(reference) {
    AnalyserState& state = analyser_.state;
    state.trace_flag = reference ? 1 : 0;
    state.output_flags = OUT_LIST | OUT_TREE | OUT_SUBCAT;
    state.console_input = settings.console ? 1 : 0;
    state.start_category = settings.start_category;
    state.node_limit = kFuzzNodeLimit;
    input_ = settings.console ? state.console : input_text_.file();
    ended_ = !run_step([&] { load(parts, settings); });
  }

  const AnalyserState& state() const { return analyser_.state; }
  bool ended() const { return ended_; }

  // Reads, looks up and parses the next sentence; false once the input or
  // the run has ended.
  bool next_sentence() {
    if (ended_) return false;
    bool read = false;
    ended_ = !run_step([&] { read = analyse_next_sentence(analyser_.state, input_); });
    return read && !ended_;
  }

 private:
  // Runs `step`; false when the analyser ended its run in it.
  template <typename Step>
  bool run_step(Step step) {
    try {
      step();
      return true;
    } catch (const AnalyserEnd& end) {
      fuzz_expect(end.status == 1, "the analyser ended with a status other than 1");
      return false;
    }
  }

  // The start-up's loading, from the packed files instead of named ones.
  void load(const std::vector<std::string_view>& parts, const Settings& settings) {
    AnalyserState& state = analyser_.state;
    analyser_.load_messages();
    read_char_list(settings.word_ends.c_str(), state.word_end_chars);
    read_char_list(settings.sentence_ends.c_str(), state.sentence_end_chars);
    InputStream rules(part_or_empty(parts, kRulesPart));
    read_rules(state, rules.file());
    InputStream lexicon(part_or_empty(parts, kLexiconPart));
    read_dict(state, lexicon.file(), state.lexicon_index);
    if (!reference_) build_lexicon_table(state);  // the reference scans the index
    InputStream endings(part_or_empty(parts, kEndingsPart));
    state.endings_list = read_dict(state, endings.file(), state.endings_index);
  }

  QuietAnalyser analyser_;
  InputStream input_text_;
  bool reference_;
  FILE* input_ = nullptr;
  bool ended_ = false;
};

// Every node lies within the sentence.
void expect_nodes_in_form(const AnalyserState& state) {
  if (state.word_count <= 0 || state.node_limit_reached) return;
  long count = 0;
  for (const parse_node* node = state.node_list; node != nullptr; node = node->next) {
    ++count;
    fuzz_expect(1 <= node->seg_start && node->seg_start <= node->seg_end &&
                    node->seg_end <= state.word_count,
                "a node lies outside its sentence");
  }
  fuzz_expect(count <= state.node_limit, "a sentence has more nodes than its limit");
}

// A node as it can be compared across two analysers: texts and positions
// instead of identities.
struct NodeImage {
  std::string category;
  std::string values;  // count byte and groups; empty for no set
  std::string label;
  int rule_number;     // -1 for a word node
  long left;           // list position of the component, -1 for none
  long right;
  int seg_start;
  int seg_end;

  bool operator==(const NodeImage&) const = default;
};

std::vector<NodeImage> node_images(const AnalyserState& state) {
  std::unordered_map<const parse_node*, long> position{{nullptr, -1}};
  std::vector<NodeImage> images;
  for (const parse_node* n = state.node_list; n != nullptr; n = n->next) {
    position[n] = static_cast<long>(images.size());
    const subcat_value_set* v = n->subcat_values;
    images.push_back({std::string(reinterpret_cast<const char*>(n->category->name),
                                  n->category->name_length),
                      v == nullptr ? std::string() : std::string(v, v + v[0] + 1),
                      n->label == nullptr ? std::string() : std::string(n->label),
                      n->rule == nullptr ? -1 : n->rule->rule_number, position.at(n->left_comp),
                      position.at(n->right_comp), n->seg_start, n->seg_end});
  }
  return images;
}

void expect_same_analysis(const AnalyserState& indexed, const AnalyserState& reference) {
  fuzz_expect(indexed.word_count == reference.word_count, "the word counts differ");
  fuzz_expect(indexed.node_limit_reached == reference.node_limit_reached,
              "only one parser reached the node limit");
  fuzz_expect(node_images(indexed) == node_images(reference),
              "the indexed parser made other nodes than the reference");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string_view> parts = split_parts(fuzz_bytes(data, size), kPartCount);
  const Settings settings = settings_from(part_or_empty(parts, kSettingsPart));
  Analysis indexed(parts, settings, false);
  Analysis reference(parts, settings, true);
  for (int n = 0; n < kMaxSentences; ++n) {
    const bool read = indexed.next_sentence();
    fuzz_expect(reference.next_sentence() == read, "only one analyser read a sentence");
    fuzz_expect(indexed.ended() == reference.ended(), "only one analyser ended its run");
    if (!read) break;
    expect_nodes_in_form(indexed.state());
    expect_same_analysis(indexed.state(), reference.state());
  }
  return 0;
}

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
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analyser/driver/analyser_run.hpp"
#include "analyser/library/delimiter_list.hpp"
#include "analyser/output/printout.hpp"
#include "fuzz/analyser_fixture.hpp"

namespace {

enum part_number { kRulesPart, kLexiconPart, kEndingsPart, kInputPart, kSettingsPart, kPartCount };

// Nodes of one sentence: enough for real analyses, few enough that the
// passes stay fast.
constexpr long kFuzzNodeLimit = 400;
// Sentences analysed of one input text.
constexpr int kMaxSentences = 8;

struct fuzz_settings {
  std::string word_ends = "32,44,59";
  std::string sentence_ends = "46,33,63";
  std::string start_category = "SATZ";
  bool console = false;
};

fuzz_settings settings_from(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.emplace_back(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  fuzz_settings settings;
  if (lines.size() > 0) settings.word_ends = lines[0];
  if (lines.size() > 1) settings.sentence_ends = lines[1];
  if (lines.size() > 2) settings.start_category = lines[2];
  if (lines.size() > 3) settings.console = lines[3] == "console";
  return settings;
}

// The printout of every sentence, and what the last analysis came to.
class recording_writer : public result_writer {
 public:
  explicit recording_writer(const analyser_state& state)
      : printout_(state.loaded.messages, state.log(), {state.output_flags, state.console_input == 0}) {}

  void sentence_read(int number, const unsigned char* sentence) override {
    printout_.sentence_read(number, sentence);
  }
  void sentence_analysed(const sentence_analysis& analysis) override {
    word_count = analysis.words.word_count;
    outcome = analysis.outcome;
    printout_.sentence_analysed(analysis);
  }

  int word_count = 0;
  sentence_outcome outcome = sentence_outcome::no_words;

 private:
  printout_writer printout_;
};

// One analyser over the packed files, reading its sentences from the input
// text as a file or as its console.
class analysis_run {
 public:
  // The reference analysis traces, which makes the parser take its
  // reference path, and looks words up by scanning the index.
  analysis_run(const std::vector<std::string_view>& parts, const fuzz_settings& settings,
               bool reference)
      : analyser_(settings.console ? part_or_empty(parts, kInputPart) : std::string_view()),
        input_text_(part_or_empty(parts, kInputPart)),
        reference_(reference) {
    analyser_state& state = analyser_.state;
    state.trace_flag = reference ? 1 : 0;
    state.output_flags = OUT_LIST | OUT_TREE | OUT_SUBCAT;
    state.console_input = settings.console ? 1 : 0;
    state.start_category = settings.start_category;
    state.nodes.limit = kFuzzNodeLimit;
    input_ = settings.console ? state.console : input_text_.file();
    ended_ = !run_step([&] { load(parts, settings); });
    writer_.emplace(state);
  }

  const analyser_state& state() const { return analyser_.state; }
  const recording_writer& writer() const { return *writer_; }
  bool ended() const { return ended_; }

  // Reads, looks up and parses the next sentence; false once the input or
  // the run has ended.
  bool next_sentence() {
    if (ended_) return false;
    bool read = false;
    ended_ = !run_step([&] { read = analyse_next_sentence(analyser_.state, input_, *writer_); });
    return read && !ended_;
  }

 private:
  // Runs `step`; false when the analyser ended its run in it.
  template <typename Step>
  bool run_step(Step step) {
    try {
      step();
      return true;
    } catch (const fatal_end&) {
      return false;
    }
  }

  // The start-up's loading, from the packed files instead of named ones.
  void load(const std::vector<std::string_view>& parts, const fuzz_settings& settings) {
    analyser_state& state = analyser_.state;
    lexicon_tables& lexicon = state.loaded.lexicon;
    analyser_.load_messages();
    read_char_list(settings.word_ends.c_str(), state.loaded.word_end_chars);
    read_char_list(settings.sentence_ends.c_str(), state.loaded.sentence_end_chars);
    memory_input rules(part_or_empty(parts, kRulesPart));
    read_rules(state.loaded.grammar, lexicon.categories, rules.file(), state.log());
    memory_input lexicon_file(part_or_empty(parts, kLexiconPart));
    read_dict(lexicon.storage, lexicon.categories, lexicon_file.file(), lexicon.lexicon_index,
              state.log());
    // The reference scans the index.
    if (!reference_) build_lexicon_table(lexicon.lexicon_table, lexicon.lexicon_index);
    memory_input endings(part_or_empty(parts, kEndingsPart));
    lexicon.endings_list = read_dict(lexicon.storage, lexicon.categories, endings.file(),
                                     lexicon.endings_index, state.log());
  }

  quiet_analyser analyser_;
  memory_input input_text_;
  bool reference_;
  FILE* input_ = nullptr;
  bool ended_ = false;
  std::optional<recording_writer> writer_;
};

// Every node lies within the sentence.
void expect_nodes_in_form(const analysis_run& run) {
  const int word_count = run.writer().word_count;
  if (word_count <= 0 || run.writer().outcome == sentence_outcome::node_limit) return;
  const node_list& nodes = run.state().nodes;
  long count = 0;
  for (const parse_node* node = nodes.head; node != nullptr; node = node->next) {
    ++count;
    fuzz_expect(1 <= node->seg_start && node->seg_start <= node->seg_end &&
                    node->seg_end <= word_count,
                "a node lies outside its sentence");
  }
  fuzz_expect(count <= nodes.limit, "a sentence has more nodes than its limit");
}

// A node as it can be compared across two analysers: texts and positions
// instead of identities.
struct node_image {
  std::string category;
  std::string values;  // count byte and groups; empty for no set
  std::string label;
  int rule_number;     // -1 for a word node
  long left;           // list position of the component, -1 for none
  long right;
  int seg_start;
  int seg_end;

  bool operator==(const node_image&) const = default;
};

std::vector<node_image> node_images(const analyser_state& state) {
  std::unordered_map<const parse_node*, long> position{{nullptr, -1}};
  std::vector<node_image> images;
  for (const parse_node* n = state.nodes.head; n != nullptr; n = n->next) {
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

void expect_same_analysis(const analysis_run& indexed, const analysis_run& reference) {
  fuzz_expect(indexed.writer().word_count == reference.writer().word_count,
              "the word counts differ");
  fuzz_expect(indexed.writer().outcome == reference.writer().outcome, "the outcomes differ");
  fuzz_expect(node_images(indexed.state()) == node_images(reference.state()),
              "the indexed parser made other nodes than the reference");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string_view> parts = split_parts(fuzz_bytes(data, size), kPartCount);
  const fuzz_settings settings = settings_from(part_or_empty(parts, kSettingsPart));
  analysis_run indexed(parts, settings, false);
  analysis_run reference(parts, settings, true);
  for (int n = 0; n < kMaxSentences; ++n) {
    const bool read = indexed.next_sentence();
    fuzz_expect(reference.next_sentence() == read, "only one analyser read a sentence");
    fuzz_expect(indexed.ended() == reference.ended(), "only one analyser ended its run");
    if (!read) break;
    expect_nodes_in_form(indexed);
    expect_same_analysis(indexed, reference);
  }
  return 0;
}

// The analyser's sentence pipeline on a fuzzed small grammar: rules, lexicon,
// endings and input text packed into one input as
//   rules %% lexicon %% endings %% input text [%% settings]
// (parts separated by a line "%%"). The optional settings part holds up to
// four lines: the word delimiter codes, the sentence delimiter codes, the
// start category, and "console" to read the input text as the console, with
// a wait after every sentence; a missing line keeps the example's setting.
// Every sentence is read, looked up and parsed with tracing and all output
// options on, under a small node limit so that no grammar can explode.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analyser/driver/sentence_reader.hpp"
#include "analyser/driver/startup.hpp"
#include "analyser/grammar/parser.hpp"
#include "analyser/grammar/rules_reader.hpp"
#include "analyser/lexicon/dict_reader.hpp"
#include "analyser/lexicon/lex_analysis.hpp"
#include "fuzz/analyser_fixture.hpp"

namespace {

enum PartNumber { kRulesPart, kLexiconPart, kEndingsPart, kInputPart, kSettingsPart, kPartCount };

// Nodes of one sentence: enough for real analyses, few enough that the
// quadratic passes stay fast.
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

void load_grammar(AnalyserState& state, const std::vector<std::string_view>& parts) {
  InputStream rules(part_or_empty(parts, kRulesPart));
  read_rules(state, rules.file());
  InputStream lexicon(part_or_empty(parts, kLexiconPart));
  read_dict(state, lexicon.file(), state.lexicon_index);
  InputStream endings(part_or_empty(parts, kEndingsPart));
  state.endings_list = read_dict(state, endings.file(), state.endings_index);
}

// Every node lies within the sentence and stands behind its components.
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

// The driver's sentence loop, stopped after kMaxSentences.
void analyse_sentences(AnalyserState& state, FILE* input) {
  for (int n = 0; n < kMaxSentences; ++n) {
    const unsigned char* sentence =
        read_sentence(state, input, state.sentence_buffer, kSentenceCapacity);
    if (sentence == nullptr) return;
    state.sentence.reset();
    state.node_list = nullptr;
    state.node_tail = nullptr;
    state.word_count = lex_analysis(state, sentence);
    if (state.word_count > 0) parse_sentence(state);
    expect_nodes_in_form(state);
  }
}

void run(QuietAnalyser& analyser, const std::vector<std::string_view>& parts,
         const Settings& settings) {
  AnalyserState& state = analyser.state;
  analyser.load_messages();
  read_char_list(settings.word_ends.c_str(), state.word_end_chars);
  read_char_list(settings.sentence_ends.c_str(), state.sentence_end_chars);
  load_grammar(state, parts);
  InputStream input_text(part_or_empty(parts, kInputPart));
  analyse_sentences(state, settings.console ? state.console : input_text.file());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<std::string_view> parts = split_parts(fuzz_bytes(data, size), kPartCount);
  const Settings settings = settings_from(part_or_empty(parts, kSettingsPart));
  QuietAnalyser analyser(settings.console ? part_or_empty(parts, kInputPart) : "");
  AnalyserState& state = analyser.state;
  state.trace_flag = 1;
  state.output_flags = OUT_LIST | OUT_TREE | OUT_SUBCAT;
  state.console_input = settings.console ? 1 : 0;
  state.start_category = settings.start_category;
  state.node_limit = kFuzzNodeLimit;
  try {
    run(analyser, parts, settings);
  } catch (const AnalyserEnd& end) {
    fuzz_expect(end.status == 1, "the analyser ended with a status other than 1");
  }
  return 0;
}

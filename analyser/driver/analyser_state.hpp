// The analyser's process-wide state in one record: run-time settings, the
// tables loaded at start-up, and the data of the sentence being analysed.
// Every routine of the analyser takes it by reference, so a test builds a
// fresh one in a line and points `out` and `console` at its own streams.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "analyser/driver/arena.hpp"

// Bits of `output_flags`.
constexpr int OUT_LIST = 0x04;
constexpr int OUT_TREE = 0x10;
constexpr int OUT_SUBCAT = 0x20;

// Size of the text `read_sentence` is offered: 399 characters and a
// terminator. The buffer holds one byte more for the closing blank.
constexpr int kSentenceCapacity = 400;
// Bytes of a delimiter set: room for every code 1 to 255 once and the
// terminating zero byte, so a set can never overflow (codes are not repeated).
constexpr int kDelimiterSetSize = 256;
// Slots of a first-letter index: bytes 0x41 ("A") to 0x60.
constexpr int kLetterSlots = 32;
// Characters kept of a rule label and of a dictionary label.
constexpr int kRuleLabelLength = 19;
constexpr int kDictLabelLength = 18;
// Groups a value set (and digits a condition) can hold: the count is one byte.
constexpr int kMaxGroups = 255;
// Default bound on the nodes of one sentence. A unary cycle in the grammar,
// or ambiguity that explodes, would otherwise make nodes until memory runs
// out; at the bound the sentence is abandoned with a message (about 640 MB
// of nodes at most).
constexpr long kNodeLimit = 10'000'000;

// Value sets and conditions are counted byte strings: byte 0 is the count n,
// bytes 1..n follow. A null pointer is "no set", distinct from n = 0.
using subcat_value_set = unsigned char;
using condition_values = unsigned char;

// One interned category name, stored once in `category_list`.
struct category_entry {
  category_entry* next;
  int name_length;
  const unsigned char* name;  // name_length bytes, no terminator
};

// One line of the lexicon or the endings file.
struct dict_entry {
  dict_entry* next;
  const subcat_value_set* subcat_values;
  category_entry* category;
  char label[kDictLabelLength + 4];  // terminated
  int word_length;
  const unsigned char* word;  // upper-cased, word_length bytes
};

struct rule_part {
  category_entry* category;  // null for part 2 of a unary rule
  const subcat_value_set* subcat_values;
};

struct grammar_rule {
  grammar_rule* next;
  rule_part parts[3];  // first component, second component, result
  const condition_values* condition;
  char label[kRuleLabelLength + 5];  // terminated
  int rule_number;
};

// One constituent of the current sentence.
struct parse_node {
  parse_node* next;
  category_entry* category;
  const subcat_value_set* subcat_values;
  parse_node* left_comp;
  parse_node* right_comp;
  grammar_rule* rule;
  const char* label;  // the rule's label, the entry's label or a number's text
  int seg_start;
  int seg_end;
};

// Exact-word table over a dictionary list (word_lookup.hpp): open addressing
// over a power-of-two number of slots, empty until built.
struct word_table {
  dict_entry* const* index = nullptr;  // the first-letter index it was built from
  std::vector<dict_entry*> slots;
};

struct message_record {
  int number;
  message_record* next;
  const char* text;  // as stored in the file, escapes unexpanded
};

struct AnalyserState {
  // Streams: everything is printed to `out`; the console is read from `console`.
  FILE* out = stdout;
  FILE* console = stdin;

  // Run-time settings from the command line.
  int trace_flag = 0;
  int output_flags = 0;
  int console_input = 1;
  std::string start_category = "SATZ";
  std::string config_file_name;
  std::string input_file_name;

  // Start-up tables.
  FILE* config_file = nullptr;
  message_record* message_list = nullptr;
  message_record* message_tail = nullptr;
  unsigned char word_end_chars[kDelimiterSetSize] = {};
  unsigned char sentence_end_chars[kDelimiterSetSize] = {};
  category_entry* category_list = nullptr;
  category_entry* category_tail = nullptr;
  dict_entry* lexicon_index[kLetterSlots] = {};
  dict_entry* endings_index[kLetterSlots] = {};
  dict_entry* endings_list = nullptr;
  word_table lexicon_table;
  grammar_rule* rule_list = nullptr;
  grammar_rule* rule_tail = nullptr;
  grammar_rule* rule_index[kLetterSlots] = {};

  // The current sentence.
  int sentence_count = 0;
  unsigned char sentence_buffer[kSentenceCapacity + 1] = {};
  int word_count = 0;
  parse_node* node_list = nullptr;
  parse_node* node_tail = nullptr;

  // Parser working state for one rule application.
  parse_node* current_left = nullptr;
  parse_node* current_right = nullptr;
  int current_seg_start = 0;
  int current_seg_end = 0;
  int new_node_count = 0;
  unsigned char subcat_scratch[kMaxGroups + 1] = {};

  // Nodes made for the current sentence, and the bound on them; both are
  // reset by `lex_analysis` at the start of every sentence.
  long node_limit = kNodeLimit;
  long node_count = 0;
  bool node_limit_reached = false;

  // Storage: `tables` for everything loaded at start-up, `sentence` for the
  // nodes, value sets and labels of the current sentence.
  Arena tables;
  Arena sentence;

  AnalyserState() = default;
  AnalyserState(const AnalyserState&) = delete;
  AnalyserState& operator=(const AnalyserState&) = delete;
  ~AnalyserState() {
    if (config_file != nullptr) std::fclose(config_file);
  }
};

// Mirask as a library: German sentences analysed bottom-up with a
// categorial lexicon and a file of combination rules.
//
//   #include <mirask.hpp>
//
//   mirask::grammar g = mirask::grammar::load("examples/mirask.cfg");
//   mirask::analyser a(g);                      // one per thread
//   mirask::result r = a.parse("Der Hund bellt.");
//   if (r.outcome() == mirask::outcome::analysed) std::cout << r.brackets() << '\n';
//   std::cout << r.json() << '\n';              // the record `Mirask -json` prints
//
// The contract:
// - A grammar is an immutable value. Copies share one loaded grammar, which
//   lives as long as any copy, analyser or result refers to it; any number
//   of threads may use it at once.
// - An analyser is one thread's working storage (nodes, side tables,
//   buffers). Use one per thread; an analyser is not to be shared.
// - A result owns everything it shows and stays valid, unchanged, after any
//   later parse, however long it is kept. Copies share it.
// - Texts going in (sentences) and coming out (categories, words, labels,
//   records) are UTF-8. Inside, a grammar keeps the German 7-bit convention
//   ("{" is ä, "[" is Ä, ...); results show those letters as the letters
//   they stand for.
// - Nothing here writes to a standard stream, waits on the console or ends
//   the process. A file that cannot be loaded throws mirask::error; a
//   sentence never throws for what it holds: it gets an outcome. Running out
//   of memory throws mirask::error too, and the analyser stays usable.
#pragma once

#include <chrono>
#include <cstdint>
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mirask {

class grammar;
namespace detail {
struct grammar_data;
struct analyser_data;
struct result_data;
const grammar_data& data_of(const grammar& g);
}  // namespace detail

// A file that cannot be loaded (or memory that ran out), with the file, the
// line and the column where they are known (empty and 0 where not).
class error : public std::exception {
 public:
  explicit error(std::string message, std::string file = {}, long line = 0, long column = 0);
  // "FILE:LINE:COL: MESSAGE", or as much of it as is known.
  const char* what() const noexcept override { return what_.c_str(); }
  const std::string& message() const { return message_; }
  const std::string& file() const { return file_; }
  long line() const { return line_; }
  long column() const { return column_; }

 private:
  std::string message_;
  std::string file_;
  long line_;
  long column_;
  std::string what_;
};

// Something a loader skipped and went on from: a lexicon line without "=",
// a rule without one of its parts.
struct problem {
  std::string file;
  long line = 0;
  long column = 0;
  std::string text;  // "rule 7 skipped (malformed)"
  // "FILE:LINE:COL: error: TEXT", the form editors jump to.
  std::string to_string() const;
};

// Where the file names of a configuration are looked for.
enum class names_relative_to {
  configuration_folder,  // the folder the configuration file stands in
  current_folder,        // the current folder, as `Mirask -c` does
};

struct load_options {
  // The files are UTF-8 (else bytes in the 7-bit convention); then words and
  // sentences are upper-cased with every letter of ISO-8859-1 ("café" as
  // "CAFÉ"), so that both meet.
  bool utf8 = false;
  names_relative_to names = names_relative_to::configuration_folder;
  std::string start_category = "SATZ";  // of a complete analysis, unless a parse says otherwise
};

// The files of a grammar given as texts, in the formats of the files.
struct grammar_texts {
  std::string messages = "1 Mirask\n";  // at least one numbered message
  std::string word_delimiters = "32,44,59";
  std::string sentence_delimiters = "46,33,63";
  std::string rules;
  std::string lexicon;
  std::string endings;
};

// One file a grammar was loaded from.
struct file_info {
  std::string role;      // configuration, messages, rules, lexicon, endings
  std::string name;      // as the configuration names it
  std::string checksum;  // "fnv1a64:" and 16 hexadecimal digits of its bytes
};

class grammar {
 public:
  // Loads the configuration file (six lines: messages, word delimiters,
  // sentence delimiters, rules, lexicon, endings) and the files it names.
  // Throws mirask::error for anything that cannot be loaded.
  static grammar load(const std::string& configuration, const load_options& options = {});
  // The same from texts; problems and errors name the files "messages",
  // "rules", "lexicon" and "endings".
  static grammar from_texts(const grammar_texts& texts, const load_options& options = {});

  const std::vector<problem>& problems() const;
  const std::vector<file_info>& files() const;
  long rule_count() const;
  long entry_count() const;   // lines of the lexicon
  long ending_count() const;  // lines of the endings file
  long category_count() const;
  const std::string& start_category() const;
  bool utf8() const;

 private:
  friend class analyser;
  friend const detail::grammar_data& detail::data_of(const grammar& g);
  explicit grammar(std::shared_ptr<const detail::grammar_data> data) : data_(std::move(data)) {}
  std::shared_ptr<const detail::grammar_data> data_;
};

enum class outcome {
  analysed,           // it has a complete analysis
  no_analysis,        // parsed to the end without one
  unknown_word,       // a word neither found in the lexicon nor split into stem + ending
  no_number_reading,  // a number, and the lexicon has no "NULL" entry to read it with
  node_limit,         // the node limit stopped it
  timeout,            // the time allowed ran out
  no_words,           // nothing but delimiters
  unreadable,         // not UTF-8, or a character the grammar's letters cannot hold
};

// The name in records: "analysed", "no_analysis", "unknown_word", ...
std::string_view outcome_name(outcome o);

// What one parse computes, and its bounds.
struct parse_options {
  std::string start;  // start category; empty: the grammar's
  long node_limit = 10'000'000;
  std::chrono::microseconds timeout{0};  // 0: no time limit
  bool count = true;   // the exact number of complete analyses
  bool all = false;    // parse to the end and keep every complete analysis
  long max_analyses = 100;  // of which the record lists at most this many
  bool why = false;    // the diagnosis of a sentence without analysis, in the record
  bool nodes = false;  // the node table, in the record
  long number = 0;     // the record's "number"; 0: the analyser's count of its parses
};

// A value set: for each subcategory group the values 1 to 8 it holds; none
// for a constituent without values.
using value_sets = std::optional<std::vector<std::vector<int>>>;

// A constituent of an analysis: a rule node with its components, or a word
// node (a leaf) with its word.
struct tree_node {
  std::string category;
  int start = 0;  // word positions covered, from 1
  int end = 0;
  value_sets values;
  int rule = 0;  // the rule's number; 0 for a word node
  std::string label;
  std::string word;  // a leaf's word; empty for a rule node
  std::vector<tree_node> children;
};

// A word of the sentence; a word split into stem + ending takes its
// position and the next.
struct word {
  int position = 0;
  std::string text;
  std::string stem;    // empty when the word was found whole
  std::string ending;
};

// One reading of a word: one word node.
struct reading {
  int position = 0;
  std::string category;
  value_sets values;
  std::string label;
};

// One node of the node table, in the order the nodes were made.
struct node_row {
  long id = 0;  // from 1
  std::string category;
  int start = 0;
  int end = 0;
  value_sets values;
  int rule = 0;
  std::string label;
  long left = 0;   // component ids; 0 for none
  long right = 0;
};

// An exact number of analyses, of any size.
struct analysis_count {
  bool unbounded = false;  // a unary cycle: infinitely many
  std::string digits;      // decimal, when bounded
  // The number when it fits in 64 bits.
  std::optional<std::uint64_t> value() const;
};

class result {
 public:
  mirask::outcome outcome() const;
  const std::string& text() const;  // the sentence as given
  std::string sentence() const;     // as analysed: upper-cased, cut at its first delimiter
  std::vector<word> words() const;
  std::vector<reading> readings() const;
  std::string unknown_word() const;  // with unknown_word and no_number_reading
  std::string problem() const;       // why an unreadable sentence is one
  // The exact count of complete analyses; none when it was not asked for or
  // the sentence was not parsed.
  std::optional<analysis_count> count() const;
  // The first complete analysis (the one the printout shows), or none.
  std::optional<tree_node> analysis() const;
  // Its bracket line, "<SATZ(NPHR(DETA NOMN)VPHR(VERB))>", with ":k"
  // numbers when `numbered`; empty without analysis.
  std::string brackets(bool numbered = false) const;
  // The complete analyses in the order their nodes were made, the first
  // being analysis(). A parse that stopped at the first analysis is taken
  // on to the end (within the same node limit and time) the first time
  // these are asked for; the count is then final.
  long complete_analyses() const;
  tree_node complete_analysis(long k) const;  // 0 <= k < complete_analyses()
  std::vector<node_row> nodes() const;        // every node made
  long node_count() const;
  long time_us() const;
  // The JSON record of `Mirask -json` for this sentence, one line.
  std::string json() const;
  // The diagnosis of -why as a JSON object: "fragments", "blocked" and
  // "missing" for a sentence without analysis, "split_attempts" for an unknown word; "{}"
  // otherwise.
  std::string diagnosis_json() const;
  // The first analysis drawn as an SVG picture (empty without analysis).
  std::string svg() const;
  // Complete analysis k drawn the same way (0 <= k < complete_analyses()).
  std::string svg(long k) const;

 private:
  friend class analyser;
  explicit result(std::shared_ptr<const detail::result_data> data) : data_(std::move(data)) {}
  std::shared_ptr<const detail::result_data> data_;
};

class analyser {
 public:
  explicit analyser(const mirask::grammar& grammar);
  ~analyser();
  analyser(analyser&&) noexcept;
  analyser& operator=(analyser&&) noexcept;

  // Analyses one sentence (a trailing line end is ignored).
  result parse(std::string_view sentence, const parse_options& options = {});
  // The same for a sentence in the grammar's own bytes (the 7-bit
  // convention, other bytes of 0x80 and above as ISO-8859-1), as `Mirask`
  // reads an input file without -utf8: every byte is readable, and "\xE4"
  // is that byte, not the "{" that the UTF-8 "ä" stands for. The result's
  // text() is its UTF-8 form.
  result parse_bytes(std::string_view sentence, const parse_options& options = {});

  const mirask::grammar& grammar() const;

 private:
  std::unique_ptr<detail::analyser_data> data_;
};

}  // namespace mirask

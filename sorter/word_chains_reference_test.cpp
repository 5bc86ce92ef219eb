// The store against the straightforward one it replaced: whole runs of the
// sorter on generated word lists, each checked against 256 sorted chains fed
// with the same lines. Progress lines, counts and the list in all four
// layouts must come out the same.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <list>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "sorter/input_lines.hpp"
#include "sorter/output_pass.hpp"
#include "sorter/sorter_driver.hpp"
#include "sorter/sorter_state.hpp"
#include "test_support/streams.hpp"

namespace {

constexpr long kProgressStep = 100;
// One chain per value of a text's first byte.
constexpr int kChains = 256;

// The reference: one chain per first byte, each kept in ascending byte order
// by walking it on every insertion, and the counts moved as the sorter moves
// them. std::string compares its bytes as unsigned char, and no text holds a
// zero byte, so its order is the sorter's.
struct reference_entry {
  std::string text;
  int count;
};

struct reference_run {
  std::array<std::list<reference_entry>, kChains> chains;
  long entry_count = 0;
  int duplicate_count = 0;
  int highest_count = 0;
  std::string progress;  // the progress lines, in the order written
};

void store(reference_run& run, const std::string& text) {
  std::list<reference_entry>& chain = run.chains[static_cast<unsigned char>(text[0])];
  auto place = chain.begin();
  while (place != chain.end() && place->text < text) ++place;
  if (place != chain.end() && place->text == text) {
    --run.entry_count;
    ++run.duplicate_count;
    run.highest_count = std::max(run.highest_count, ++place->count);
    return;
  }
  chain.insert(place, reference_entry{text, 1});
  run.highest_count = std::max(run.highest_count, 1);
}

// One piece of a word list: counted, reported, cut at its line end, stored.
void take_piece(reference_run& run, const std::string& piece) {
  if (++run.entry_count % kProgressStep == 0)
    run.progress += std::to_string(run.entry_count) + " Eintraege\n";
  const std::string text = piece.substr(0, piece.find_first_of(std::string("\n\r\0", 3)));
  if (!text.empty()) store(run, text);
}

void take_word_list(reference_run& run, const std::string& list, bool capitals) {
  const memory_input file(list);
  piece_reader reader(file.file());
  line_piece piece;
  while (read_piece(reader, piece)) {
    if (capitals) piece = piece.first(to_capitals(piece));
    take_piece(run, std::string(reinterpret_cast<const char*>(piece.data()), piece.size()));
  }
}

// The list as the output pass writes it: one walk over the chains per count
// level, from the highest count down.
std::string listing(const reference_run& run, bool with_frequencies, bool by_frequency) {
  std::string text;
  for (int level = by_frequency ? run.highest_count : 1; level > 0; --level) {
    for (const std::list<reference_entry>& chain : run.chains) {
      for (const reference_entry& entry : chain) {
        if (by_frequency && entry.count != level) continue;
        text += entry.text;
        if (with_frequencies) text += " " + std::to_string(entry.count);
        text += "\n";
      }
    }
  }
  return text;
}

// Word lists made to hit the store where it could go wrong: many
// duplicates, texts that begin other texts, bytes from 0x80 up, empty lines,
// zero bytes and carriage returns that cut a line, lines longer than a
// piece, files without a last line feed, sorted lists.
class word_list_maker {
 public:
  explicit word_list_maker(unsigned seed) : random_(seed) {}

  bool coin() { return below(2) == 0; }
  int below(int bound) { return static_cast<int>(random_() % static_cast<unsigned>(bound)); }

  // Some lists come sorted, as word lists often do: their lines, duplicates
  // next to each other, mostly come in the order of their texts.
  std::string word_list() {
    const std::vector<std::string> pool = make_pool();
    std::vector<std::string> lines(line_count());
    for (std::string& line_text : lines) line_text = line(pool);
    if (below(4) == 0) std::sort(lines.begin(), lines.end());
    std::string list;
    for (const std::string& line_text : lines) list += line_text;
    if (!list.empty() && coin()) list.pop_back();
    return list;
  }

 private:
  // Most lists are short; some reach the progress lines, and a few make the
  // store's table grow several times.
  int line_count() {
    if (below(60) == 0) return 3000 + below(3000);
    if (below(8) == 0) return 100 + below(1200);
    return below(60);
  }

  static constexpr int kWidePool = 12000;

  // Short pieces to build texts from, so that texts repeat and begin one
  // another; letters of both cases and code page 437 umlauts for "-c".
  static constexpr const char* kPieces[] = {"a", "b",    "ab",   "A",    "B",    " ",    "z", "{",
                                            "~", "\x80", "\xff", "\x84", "\x8e", "\xe1", "e", "ee"};

  std::string pieces(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += kPieces[below(static_cast<int>(std::size(kPieces)))];
    return text;
  }

  std::string random_bytes(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += static_cast<char>(below(256));
    return text;
  }

  // Most pools are small, so that their texts repeat soon; some are wide,
  // so that a text comes again only long after.
  std::vector<std::string> make_pool() {
    std::vector<std::string> pool;
    if (below(8) == 0) {
      for (int i = 0; i < kWidePool; ++i) pool.push_back("n" + std::to_string(i));
      return pool;
    }
    const int size = 1 + below(40);
    for (int i = 0; i < size; ++i) pool.push_back(pieces(1 + below(4)));
    return pool;
  }

  // The text of one line.
  std::string text(const std::vector<std::string>& pool) {
    const int kind = below(20);
    if (kind < 2) return "";
    if (kind < 4) return random_bytes(1 + below(12));  // may hold "\n", "\r", "\0"
    if (kind < 5) return pieces(150 + below(300));     // longer than one piece
    if (kind < 7) return random_bytes(6);              // almost surely new
    return pool[below(static_cast<int>(pool.size()))];
  }

  std::string line(const std::vector<std::string>& pool) {
    return text(pool) + (below(6) == 0 ? "\r\n" : "\n");
  }

  std::mt19937 random_;
};

constexpr int kRuns = 3000;
constexpr int kMostFiles = 3;

// The progress lines among everything the run wrote to standard output.
std::string progress_lines(const std::string& shown) {
  std::istringstream lines(shown);
  std::string line, found;
  constexpr std::string_view kTail = " Eintraege";
  while (std::getline(lines, line)) {
    if (line.ends_with(kTail) && line.size() > kTail.size() &&
        line.find_first_not_of("0123456789") == line.size() - kTail.size())
      found += line + "\n";
  }
  return found;
}

// The files of a run, all in memory: the word lists by name, and the text
// of the output file once it is closed.
std::map<std::string, std::string> word_lists;
char* output_text = nullptr;
std::size_t output_size = 0;

std::FILE* open_in_memory(const char* name, const char* mode) {
  if (mode[0] == 'w') return open_memstream(&output_text, &output_size);
  return unowned_stream_over(word_lists.at(name));
}

std::string take_output_text() {
  std::string text(output_text, output_size);
  std::free(output_text);
  output_text = nullptr;
  return text;
}

// The list and the counts of the script form for the same word lists and
// answers, which, unwatched, leaves the duplicates it finds late to the
// end.
struct script_run {
  std::string list, counts;
  bool hashed;  // whether the sample showed enough duplicates to hash every entry
};

script_run run_script_form(int files, bool capitals, bool with_frequencies, bool by_frequency) {
  std::vector<const char*> args = {"Zandoret", "-o", "-"};
  if (capitals) args.push_back("-c");
  if (with_frequencies) args.push_back("--counts");
  if (by_frequency) args.push_back("--by-frequency");
  std::vector<std::string> names;
  for (int i = 0; i < files; ++i) names.push_back("in" + std::to_string(i));
  for (const std::string& name : names) args.push_back(name.c_str());
  if (files == 0) args.push_back("-");
  sorter_state state;
  captured_output out, err;
  state.out = out.file();
  state.err = err.file();
  const memory_input console("");
  state.console = console.file();
  state.open_file = open_in_memory;
  run_sorter(state, static_cast<int>(args.size()), args.data());
  return {out.text(), err.text(), state.chain_table.finding == entry_store::lookup::hashed};
}

TEST(reference_store, RunsLikeTheChainsOfTheStraightforwardStore) {
  word_list_maker maker(20240607);
  int runs_with_progress = 0, runs_hashed = 0;
  for (int run_number = 0; run_number < kRuns; ++run_number) {
    SCOPED_TRACE("run " + std::to_string(run_number));
    const bool capitals = maker.coin();
    const bool with_frequencies = maker.coin();
    const bool by_frequency = maker.coin();
    reference_run expected;
    std::string console;
    word_lists.clear();
    const int files = maker.below(kMostFiles + 1);
    for (int i = 0; i < files; ++i) {
      const std::string name = "in" + std::to_string(i);
      word_lists[name] = maker.word_list();
      take_word_list(expected, word_lists[name], capitals);
      console += name + "\n";
    }
    console += std::string("\n") + (with_frequencies ? "j" : "n") + "\n" +
               (by_frequency ? "J" : "N") + "\nout\n";

    sorter_state state;
    captured_output out, err;
    state.out = out.file();
    state.err = err.file();
    const memory_input console_input(console);
    state.console = console_input.file();
    state.open_file = open_in_memory;
    const char* const args[] = {"Zandoret", capitals ? "-c" : "-"};
    run_sorter(state, 2, args);

    ASSERT_EQ(progress_lines(out.text()), expected.progress);
    runs_with_progress += !expected.progress.empty();
    ASSERT_EQ(err.text(), "");
    ASSERT_EQ(state.entry_count, expected.entry_count);
    ASSERT_EQ(state.duplicate_count, expected.duplicate_count);
    ASSERT_EQ(state.highest_count, expected.highest_count);
    const std::string lists[2][2] = {
        {listing(expected, false, false), listing(expected, false, true)},
        {listing(expected, true, false), listing(expected, true, true)}};
    ASSERT_EQ(take_output_text(), lists[with_frequencies][by_frequency]);
    const script_run script = run_script_form(files, capitals, with_frequencies, by_frequency);
    ASSERT_EQ(script.list, lists[with_frequencies][by_frequency]);
    ASSERT_EQ(script.counts, "Anz. Saetze: " + std::to_string(expected.entry_count) +
                                 "\nElim. Doppeleintraege: " +
                                 std::to_string(expected.duplicate_count) + "\n");
    runs_hashed += script.hashed;
    for (const bool counts : {false, true}) {
      for (const bool falling : {false, true}) {
        state.with_frequencies = counts;
        state.by_frequency = falling;
        captured_output written;
        ASSERT_TRUE(write_list(state, written.file()));
        ASSERT_EQ(written.text(), lists[counts][falling]) << counts << falling;
      }
    }
  }
  EXPECT_GT(runs_with_progress, kRuns / 20);  // the generator still reaches them
  EXPECT_GT(runs_hashed, kRuns / 100);
}

}  // namespace

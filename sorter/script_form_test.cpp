#include "sorter/script_form.hpp"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "sorter/sorter_driver.hpp"
#include "sorter/sorter_state.hpp"
#include "test_support/streams.hpp"

namespace {

// What one run of the sorter left behind.
struct run_result {
  int status;
  std::string out, err;
  long console_left;  // bytes of the console input not read
};

run_result run(std::vector<const char*> args, const std::string& console = "",
               resize_function resize = nullptr) {
  args.insert(args.begin(), "Zandoret");
  captured_output out, err;
  const memory_input console_input(console);
  sorter_state state;
  state.out = out.file();
  state.err = err.file();
  state.console = console_input.file();
  if (resize != nullptr) state.resize_table = resize;
  int status = 0;
  try {
    status = run_sorter(state, static_cast<int>(args.size()), args.data());
  } catch (const sorter_end& end) {
    status = end.status;
  }
  return {status, out.text(), err.text(), console_input.bytes_left()};
}

// The dialogue's standard output without its start lines, prompts and
// progress lines, which the script form shows only on a terminal.
std::string without_prompts(std::string shown) {
  const std::size_t after_start_lines = shown.find("program!\n") + 9;
  shown.erase(0, after_start_lines);
  for (const std::string prompt : {"Eingabefile:\n", "Frequenzen mit ausgeben? J/N:\n",
                                   "nach Frequenzen sortieren? J/N\n", "Ausgabefile:\n"}) {
    for (std::size_t at; (at = shown.find(prompt)) != std::string::npos;)
      shown.erase(at, prompt.size());
  }
  for (std::size_t at; (at = shown.find(" Eintraege\n")) != std::string::npos;) {
    const std::size_t start = shown.rfind('\n', at) + 1;  // npos + 1: the start
    shown.erase(start, at + std::strlen(" Eintraege\n") - start);
  }
  return shown;
}

// Two word lists, UTF-8 and code page 437 alike, with duplicates, a line
// that is no UTF-8 and enough lines for progress lines.
void write_word_lists(const scratch_directory& directory) {
  std::string a = "B\xc3\xa4r\nbar\n\xc3\x84pfel\n\x84pfel\nzz\xff\n";
  for (int i = 0; i < 150; ++i) a += "w" + std::to_string(i % 70) + "\n";
  directory.write("a.txt", a);
  directory.write("b.txt",
                  "bar\nB\xc3\xa4r\r\nStra\xc3\x9f"
                  "e\n");
  directory.write("filter.txt", "98=66\n");  // "b" becomes "B"
}

TEST(run_script, WritesWhatTheDialogueWritesForTheSameAnswers) {
  const scratch_directory directory;
  write_word_lists(directory);
  for (int options = 0; options < 32; ++options) {
    std::vector<const char*> dialogue_args, script_args;
    if (options & 1) dialogue_args.push_back("-c");
    if (options & 2) dialogue_args.push_back("-utf8");
    if (options & 4) dialogue_args.insert(dialogue_args.end(), {"-f", "filter.txt"});
    script_args = dialogue_args;
    if (options & 8) script_args.push_back("--counts");
    if (options & 16) script_args.push_back("--by-frequency");
    script_args.insert(script_args.end(), {"-o", "script.txt", "a.txt", "b.txt"});
    const std::string answers = std::string("a.txt\nb.txt\n\n") + (options & 8 ? "j" : "n") + "\n" +
                                (options & 16 ? "J" : "") + "\ndialogue.txt\n";
    const run_result dialogue = run(dialogue_args, answers);
    std::remove("script.txt");  // after a problem an old output would stay
    const run_result script = run(script_args);
    SCOPED_TRACE("options " + std::to_string(options));
    ASSERT_EQ(dialogue.status, 0);
    EXPECT_EQ(script.status, options & 2 ? kScriptProblemStatus : 0);  // the line left out
    EXPECT_EQ(file_content("script.txt"), file_content("dialogue.txt"));
    EXPECT_EQ(script.out, without_prompts(dialogue.out));
    EXPECT_EQ(script.err, dialogue.err);
  }
}

TEST(run_script, PutsTheListOnStandardOutputAndTheMessagesOnStandardError) {
  const run_result result = run({"--counts", "-f", "missing.txt", "-o", "-", "-"}, "b\na\nb\n");
  EXPECT_EQ(result.status, kScriptProblemStatus);
  EXPECT_EQ(result.out, "a 1\nb 2\n");
  EXPECT_EQ(result.err,
            "\n--- Filter File not Found ---\nAnz. Saetze: 2\nElim. Doppeleintraege: 1\n");
}

TEST(run_script, ReportsEachProblemGoesOnAndEndsWithStatusOne) {
  const scratch_directory directory;
  directory.write("in.txt", "b\na\n");
  struct table_row {
    std::vector<const char*> args;
    std::string output;  // of out.txt
    std::string shown;
  };
  const std::string counts = "Anz. Saetze: 2\nElim. Doppeleintraege: 0\n";
  // An output in a folder whose name leaves no room for the new file's name.
  std::string long_name;
  while (long_name.size() < 4100) long_name += "d/";
  long_name += "out.txt";
  const table_row rows[] = {
      {{"-o", "out.txt", "missing.txt", "in.txt"},
       "a\nb\n",
       "\n--- nicht gefunden: missing.txt ---\n" + counts},
      {{"-o", "out.txt", "/", "in.txt"}, "a\nb\n", "\n--- Lesefehler: / ---\n" + counts},
      {{"-o", "no/such/dir/out.txt", "in.txt"}, "", "\n--- Dateifehler: no/such/dir/out.txt ---\n"},
      {{"-o", "/dev/full", "in.txt"},
       "",
       "\n--- Ueberlauf: /dev/full nicht vollstaendig geschrieben ---\n"},
      {{"-o", ".", "in.txt"}, "", "\n--- Dateifehler: . ---\n"},
      {{"-o", long_name.c_str(), "in.txt"}, "", "\n--- Dateifehler: " + long_name + " ---\n"},
  };
  for (const table_row& row : rows) {
    std::remove("out.txt");
    const run_result result = run(row.args, "key\n");
    EXPECT_EQ(result.status, kScriptProblemStatus) << row.shown;
    EXPECT_EQ(result.out, row.shown);
    EXPECT_EQ(file_content("out.txt"), row.output) << row.shown;
    EXPECT_EQ(result.console_left, 4) << "no answer is waited for";
  }
}

TEST(run_script, OverwritesAnOutputThatIsAlsoAnInputOnlyWhenAllIsRead) {
  const scratch_directory directory;
  directory.write("words.txt", "b\na\nb\n");
  EXPECT_EQ(run({"-o", "words.txt", "words.txt", "words.txt"}).status, 0);
  EXPECT_EQ(file_content("words.txt"), "a\nb\n");
}

TEST(run_script, KeepsAnOutputThatExistsAfterAProblemWithTheInputs) {
  const scratch_directory directory;
  directory.write("in.txt", "b\na\n");
  directory.write("out.txt", "old\n");
  const run_result result = run({"-o", "out.txt", "in.txt", "missing.txt"});
  EXPECT_EQ(result.status, kScriptProblemStatus);
  EXPECT_EQ(result.out,
            "\n--- nicht gefunden: missing.txt ---\n\n--- out.txt bleibt unveraendert ---\n"
            "Anz. Saetze: 2\nElim. Doppeleintraege: 0\n");
  EXPECT_EQ(file_content("out.txt"), "old\n");
}

TEST(run_script, ReportsAListThatStandardOutputDoesNotTake) {
  captured_output err;
  sorter_state state;
  const owned_file full(std::fopen("/dev/full", "w"));
  ASSERT_NE(full.get(), nullptr);
  state.out = full.get();
  state.err = err.file();
  const memory_input console("b\na\n");
  state.console = console.file();
  std::vector<const char*> args = {"Zandoret", "-o", "-", "-"};
  EXPECT_EQ(run_sorter(state, static_cast<int>(args.size()), args.data()), kScriptProblemStatus);
  EXPECT_EQ(err.text(), "\n--- Ueberlauf: - nicht vollstaendig geschrieben ---\n");
}

// Sets the file size limit of the process for as long as it lives.
class file_size_limit {
 public:
  explicit file_size_limit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &before_);
    struct rlimit limit = before_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  file_size_limit(const file_size_limit&) = delete;
  file_size_limit& operator=(const file_size_limit&) = delete;
  ~file_size_limit() { setrlimit(RLIMIT_FSIZE, &before_); }

 private:
  struct rlimit before_ {};
};

TEST(run_script, KeepsTheOldOutputWhenTheNewOneCannotBeWrittenWhole) {
  const scratch_directory directory;
  std::string words;
  for (int i = 0; i < 20000; ++i) words += "w" + std::to_string(i) + "\n";
  directory.write("in.txt", words);
  directory.write("out.txt", "old\n");
  run_result result;
  {
    const file_size_limit limit(4096);
    result = run({"-o", "out.txt", "in.txt"});
  }
  EXPECT_EQ(result.status, kScriptProblemStatus);
  EXPECT_EQ(result.out, "\n--- Ueberlauf: out.txt nicht vollstaendig geschrieben ---\n");
  EXPECT_EQ(file_content("out.txt"), "old\n");
  int left = 0;
  for (const auto& file : std::filesystem::directory_iterator(directory.path()))
    left += file.path().filename().string().starts_with(".Zandoret-");
  EXPECT_EQ(left, 0) << "the part written is removed";
}

void* no_memory(void*, std::size_t) { return nullptr; }

TEST(run_script, EndsWithStatusOneWhenMemoryRunsOut) {
  const scratch_directory directory;
  directory.write("in.txt", "a\n");
  const run_result result = run({"-o", "out.txt", "in.txt"}, "", no_memory);
  EXPECT_EQ(result.status, kScriptProblemStatus);
  EXPECT_EQ(result.err, "\n--- Speichermangel ---\n");
  EXPECT_EQ(result.out, "Anz. Saetze: 1\nElim. Doppeleintraege: 0\n");
}

}  // namespace

#include "sorter/sorter_driver.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <numeric>
#include <string>
#include <vector>

#include "sorter/input_lines.hpp"
#include "sorter/sorter_state.hpp"
#include "test_support/streams.hpp"

namespace {

constexpr const char* kConsoleEnd = "\n--- Ende der Konsoleneingabe ---\n";
constexpr const char* kOverflow = "\nUeberlauf: Neue Diskette einlegen.Dann Taste\n";

// Runs the sorter in a scratch directory with the console answers given as
// text, capturing standard output and standard error.
class sorter_driver_test : public ::testing::Test {
 protected:
  void SetUp() override {
    state.out = out.file();
    state.err = err.file();
  }

  std::string path(const std::string& name) const { return (directory.path() / name).string(); }
  void write_file(const std::string& name, const std::string& text) const {
    directory.write(name, text);
  }
  std::string file_text(const std::string& name) const { return file_content(path(name)); }

  // Runs without options and returns the exit status.
  int run(const std::string& console) {
    const char* const args[] = {"Zandoret"};
    const memory_input console_input(console);
    state.console = console_input.file();
    try {
      return run_sorter(state, 1, args);
    } catch (const sorter_end& end) {
      return end.status;
    }
  }

  scratch_directory directory;
  captured_output out;
  captured_output err;
  sorter_state state;
};

TEST_F(sorter_driver_test, EndsCleanlyWhenTheConsoleInputEnds) {
  write_file("a.txt", "word\n");
  const std::string a = path("a.txt") + "\n";
  struct table_row {
    std::string console;
    const char* last_prompt;
  };
  const table_row rows[] = {
      {"", "Eingabefile:\n"},
      {a + a, "Eingabefile:\n"},
      {a + "\n", "Frequenzen mit ausgeben? J/N:\n"},
      {a + "\nj\n", "nach Frequenzen sortieren? J/N\n"},
      {"\nj\nj\n", "Ausgabefile:\n"},
      {"\nj\nj\n/nonexistent/out.txt\n", "\n--- Dateifehler ---\nAusgabefile:\n"},
  };
  for (const table_row& row : rows) {
    const std::size_t before = out.text().size();
    EXPECT_EQ(run(row.console), kConsoleEndStatus) << row.console;
    const std::string shown = out.text().substr(before);
    EXPECT_TRUE(shown.ends_with(std::string(row.last_prompt) + kConsoleEnd)) << shown;
  }
}

TEST_F(sorter_driver_test, TakesTheLastAnswerWithoutLineEndAndCrLfAnswers) {
  write_file("a.txt", "b\na\n");
  EXPECT_EQ(run(path("a.txt") + "\r\n\r\nJ\r\n\n" + path("out.txt")), 0);
  EXPECT_EQ(file_text("out.txt"), "a 1\nb 1\n");
}

TEST_F(sorter_driver_test, TakesNamesLongerThan199Characters) {
  const std::string name(200, 'n');
  write_file(name, "word\n");
  EXPECT_EQ(run(path(name) + "\n\n\n\n" + path(name + ".out") + "\n"), 0);
  EXPECT_EQ(file_text(name + ".out"), "word\n");
}

// Blocks of entries handed out before the entry allocator fails once.
int blocks_before_failure = 0;

void* allocate_failing_once(std::size_t size) {
  if (size >= kTailBlockBytes && blocks_before_failure-- == 0) return nullptr;
  return std::malloc(size);
}

TEST_F(sorter_driver_test, StopsReadingAFileWhenMemoryRunsOut) {
  // Enough different lines of a full piece each to need a second block.
  const int lines = static_cast<int>(2 * kTailBlockBytes / kPieceCapacity);
  std::vector<std::string> a;
  for (int i = 0; i < lines; ++i) {
    const std::string number = std::to_string(100000 + i);
    a.push_back(number + std::string(kPieceCapacity - number.size(), 'a') + "\n");
  }
  write_file("a.txt", std::accumulate(a.begin(), a.end(), std::string()));
  write_file("b.txt", "e\n");
  blocks_before_failure = 1;
  state.allocate_tail = allocate_failing_once;
  EXPECT_EQ(run(path("a.txt") + "\n" + path("b.txt") + "\n\n\n\n" + path("out.txt") + "\n"), 0);
  EXPECT_EQ(err.text(), "\n--- Speichermangel ---\n");
  // The lines that the first block took, then the line of the second file.
  const std::string written = file_text("out.txt");
  const std::size_t kept = std::count(written.begin(), written.end(), '\n') - 1;
  ASSERT_GT(kept, 0u);
  ASSERT_LT(kept, a.size());
  EXPECT_EQ(written, std::accumulate(a.begin(), a.begin() + kept, std::string()) + "e\n");
  // The line lost to the shortage is counted; the lines behind it are not read.
  EXPECT_TRUE(out.text().ends_with("Anz. Saetze: " + std::to_string(kept + 2) +
                                   "\nElim. Doppeleintraege: 0\n"));
}

TEST_F(sorter_driver_test, StopsReadingAFileWhenTheStoreCannotGrow) {
  write_file("a.txt", "\na\nb\n");
  state.resize_table = [](void*, std::size_t) -> void* { return nullptr; };
  EXPECT_EQ(run(path("a.txt") + "\n\n\n\n" + path("out.txt") + "\n"), 0);
  EXPECT_EQ(err.text(), "\n--- Speichermangel ---\n");
  EXPECT_EQ(file_text("out.txt"), "");
  EXPECT_TRUE(out.text().ends_with("Anz. Saetze: 2\nElim. Doppeleintraege: 0\n"));
}

// Output files opened so far, and what the opening hands out in turn.
int output_opens = 0;
enum class output_opening { disk_full, failure, real };
std::vector<output_opening> openings;

std::FILE* open_with_script(const char* name, const char* mode) {
  if (mode[0] != 'w') return std::fopen(name, mode);
  const bool scripted = output_opens < static_cast<int>(openings.size());
  const output_opening opening = scripted ? openings[output_opens] : output_opening::real;
  ++output_opens;
  if (opening == output_opening::disk_full) return std::fopen("/dev/full", mode);
  return opening == output_opening::failure ? nullptr : std::fopen(name, mode);
}

TEST_F(sorter_driver_test, WritesTheWholeListAgainAfterAnOverflow) {
  write_file("a.txt", "b\na\nb\n");
  output_opens = 0;
  openings = {output_opening::disk_full};
  state.open_file = open_with_script;
  EXPECT_EQ(run(path("a.txt") + "\n\nj\n\n" + path("out.txt") + "\nkey\n"), 0);
  EXPECT_EQ(output_opens, 2);
  EXPECT_EQ(file_text("out.txt"), "a 1\nb 2\n");
  EXPECT_TRUE(out.text().ends_with(std::string("Ausgabefile:\n") + kOverflow +
                                   "Anz. Saetze: 2\nElim. Doppeleintraege: 1\n"));
}

TEST_F(sorter_driver_test, AsksForAnotherNameWhenTheFileCannotBeOpenedAgain) {
  write_file("a.txt", "a\n");
  output_opens = 0;
  openings = {output_opening::disk_full, output_opening::failure};
  state.open_file = open_with_script;
  EXPECT_EQ(run(path("a.txt") + "\n\n\n\n" + path("out.txt") + "\n\n" + path("other.txt") + "\n"),
            0);
  EXPECT_EQ(file_text("other.txt"), "a\n");
  EXPECT_TRUE(out.text().ends_with(std::string(kOverflow) +
                                   "\n--- Dateifehler ---\nAusgabefile:\n" +
                                   "Anz. Saetze: 1\nElim. Doppeleintraege: 0\n"));
}

}  // namespace

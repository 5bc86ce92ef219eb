#include "analyser/driver/analyser_run.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "analyser/driver/test_support.hpp"

namespace {
TEST(ClockMs, CountsMillisecondsOfCalendarTime) {
  const std::uint32_t before = clock_ms();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  const auto elapsed = static_cast<std::int32_t>(clock_ms() - before);
  EXPECT_GE(elapsed, 29);
  EXPECT_LT(elapsed, 5000);
}

struct Run : ::testing::Test {
  ScratchDirectory dir;
  CapturedOutput out;
  AnalyserState state;

  Run() {
    state.out = out.file();
    dir.write("conf", "msg\n32,65,66,67\n46\nrules\nlex\nend\n");
    dir.write("msg", "3 R\n4 L\n5 E\n7 S?\n11 W\n");
    dir.write("rules", "");
    dir.write("lex", "");
    dir.write("end", "");
  }

  int run(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "Mirask");
    return run_analyser(state, static_cast<int>(arguments.size()),
                        const_cast<char**>(arguments.data()));
  }
};

const char* const kUsage =
    "\nMirask 09-2002\nusage: Mirask [-c configfile] [-tree] [-list]"
    "\n              [-subcat] [-i inptext] [-a axiom] [-v]\n";

TEST_F(Run, FileInputEndsWithTimingLineAndEnde) {
  dir.write("text", "abc\n cab.\n\nnever read\n");
  EXPECT_EQ(run({"-c", "conf", "-i", "text"}), 1);
  EXPECT_EQ(out.text().substr(0, std::string(kUsage).size()), kUsage);
  const std::string rest = out.text().substr(std::string(kUsage).size());
  const std::size_t zeit = rest.find("\nZeit:");
  ASSERT_NE(zeit, std::string::npos);
  EXPECT_EQ(rest.substr(0, zeit), "RLESatz: ABC \nSatz:  CAB \n");
  EXPECT_TRUE(rest.ends_with(" (ms) fuer 2 Saetze\n\n\t\t------ Ende ------\n")) << rest;
  EXPECT_EQ(state.console_input, 0);
}

TEST_F(Run, ConsoleInputWaitsThenPromptsPerSentence) {
  MemoryInput console("weiter\nabc\n\n");
  state.console = console.file();
  EXPECT_EQ(run({"-c", "conf"}), 1);
  const std::string rest = out.text().substr(std::string(kUsage).size());
  EXPECT_EQ(rest.substr(0, rest.find("\nZeit:")), "RLEWS?S?");
  EXPECT_TRUE(rest.ends_with(" (ms) fuer 1 Saetze\n\n\t\t------ Ende ------\n")) << rest;
}

TEST_F(Run, MissingInputTextIsFoundAfterTheStartUp) {
  EXPECT_EQ(run({"-c", "conf", "-i", "absent"}), 1);
  EXPECT_EQ(out.text(),
            std::string(kUsage) + "RLE\n\t\t------ Fehler: Inputtext-Datei nicht gefunden ------\n");
}

TEST_F(Run, EndOfConsoleInputAtTheConfigurationPrompt) {
  MemoryInput console("");
  state.console = console.file();
  EXPECT_EQ(run({}), 1);
  EXPECT_EQ(out.text(), std::string(kUsage) +
                            "\nName configuration file:\n\t\t------ No configuration file ------\n");
}
}  // namespace

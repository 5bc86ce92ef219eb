#include "analyser/server/grammar_store.hpp"

#include <gtest/gtest.h>

#include "test_support/streams.hpp"

namespace {
// A grammar of three words in the current folder.
void write_grammar(const scratch_directory& dir, const std::string& rules) {
  dir.write("g.cfg", "messages.txt\n32,44,59\n46,33,63\nrules.txt\nlexicon.txt\nendings.txt\n");
  dir.write("messages.txt", "1 Mirask\n");
  dir.write("rules.txt", rules);
  dir.write("lexicon.txt", "BELLT=VERB\nDER=DETA\nHUND=NOMN\n");
  dir.write("endings.txt", "");
}

mirask::load_options in_current_folder() {
  mirask::load_options options;
  options.names = mirask::names_relative_to::current_folder;
  return options;
}

TEST(GrammarStore, ReloadKeepsTheGrammarInServiceUnlessTheNewOneLoadsCleanly) {
  scratch_directory dir;
  write_grammar(dir, "DETA + NOMN = NPHR;.\nNPHR + VERB = SATZ;.\n");
  grammar_store store("g.cfg", in_current_folder());
  const std::shared_ptr<const mirask::grammar> first = store.current();
  EXPECT_EQ(first->rule_count(), 2);

  // A rule without its result is skipped by the loader: a problem.
  write_grammar(dir, "DETA + NOMN = NPHR;.\nNPHR + VERB = ;.\n");
  reload_outcome outcome = store.reload();
  EXPECT_FALSE(outcome.replaced);
  ASSERT_EQ(outcome.problems.size(), 1u);
  EXPECT_EQ(outcome.problems[0].rfind("rules.txt:2:", 0), 0u) << outcome.problems[0];
  EXPECT_NE(outcome.problems[0].find(": error: "), std::string::npos);
  EXPECT_EQ(store.current(), first);

  // A file that is missing fails the load.
  std::filesystem::remove(dir.path() / "lexicon.txt");
  outcome = store.reload();
  EXPECT_FALSE(outcome.replaced);
  ASSERT_EQ(outcome.problems.size(), 1u);
  EXPECT_EQ(outcome.problems[0], "lexicon.txt: error: lexicon file error (not found)");
  EXPECT_EQ(store.current(), first);

  write_grammar(dir, "DETA + NOMN = NPHR;.\nNPHR + VERB = SATZ;.\nNOMN = NPHR;.\n");
  outcome = store.reload();
  EXPECT_TRUE(outcome.replaced);
  EXPECT_TRUE(outcome.problems.empty());
  EXPECT_EQ(store.current()->rule_count(), 3);
  // Whoever held the old grammar still has it, whole.
  EXPECT_EQ(first->rule_count(), 2);
  mirask::analyser a(*first);
  EXPECT_EQ(a.parse("Der Hund bellt.").outcome(), mirask::outcome::analysed);
}

TEST(GrammarStore, AFaultOfAUtf8FileIsReportedAtItsPlace) {
  scratch_directory dir;
  write_grammar(dir, "DETA + NOMN = NPHR;.\nNPHR + VERB = SATZ;.\n");
  mirask::load_options options = in_current_folder();
  options.utf8 = true;
  grammar_store store("g.cfg", options);
  dir.write("lexicon.txt", "BELLT=VERB\nD\xFFR=DETA\n");
  const reload_outcome outcome = store.reload();
  EXPECT_FALSE(outcome.replaced);
  ASSERT_EQ(outcome.problems.size(), 1u);
  EXPECT_EQ(outcome.problems[0],
            "lexicon.txt:2:2: error: invalid UTF-8 (byte never used in UTF-8): bytes FF");
}

TEST(GrammarStore, AFirstLoadThatFailsThrows) {
  scratch_directory dir;
  EXPECT_THROW(grammar_store("missing.cfg", in_current_folder()), mirask::error);
  try {
    grammar_store("missing.cfg", in_current_folder());
  } catch (const mirask::error& e) {
    EXPECT_EQ(error_line(e, "missing.cfg"), "missing.cfg: error: Konfig.: Dateifehler");
  }
}
}  // namespace

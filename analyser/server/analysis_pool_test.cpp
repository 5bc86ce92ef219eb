#include "analyser/server/analysis_pool.hpp"

#include <gtest/gtest.h>

#include <atomic>

namespace {
std::shared_ptr<const mirask::grammar> small_grammar(const char* rules) {
  mirask::grammar_texts t;
  t.rules = rules;
  t.lexicon = "BELLT=VERB\nDER=DETA\nHUND=NOMN\n";
  return std::make_shared<const mirask::grammar>(mirask::grammar::from_texts(t));
}

TEST(AnalysisPool, RefusesWhenTheQueueIsFullAndAnswersTheRest) {
  const auto g = small_grammar("DETA + NOMN = NPHR;.\nNPHR + VERB = SATZ;.\n");
  analysis_pool pool(1, 2);
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::atomic<int> started{0};
  // One job holds the worker, two wait in the queue: the queue is full.
  std::vector<std::thread> clients;
  std::atomic<int> done{0};
  for (int i = 0; i < 3; ++i) {
    clients.emplace_back([&] {
      EXPECT_TRUE(pool.run(g, [&](mirask::analyser&) {
        ++started;
        released.wait();
      }));
      ++done;
    });
    // The first is taken by the worker before the next two are queued.
    while (i == 0 && started == 0) std::this_thread::yield();
  }
  while (pool.waiting() < 2) std::this_thread::yield();
  bool ran = false;
  EXPECT_FALSE(pool.run(g, [&](mirask::analyser&) { ran = true; }));
  EXPECT_FALSE(ran);
  release.set_value();
  for (std::thread& t : clients) t.join();
  EXPECT_EQ(done, 3);
  EXPECT_EQ(started, 3);
  EXPECT_TRUE(pool.run(g, [&](mirask::analyser&) { ran = true; }));
  EXPECT_TRUE(ran);
}

TEST(AnalysisPool, EachJobGetsAnAnalyserOfItsGrammarAndItsExceptions) {
  const auto two = small_grammar("DETA + NOMN = NPHR;.\nNPHR + VERB = SATZ;.\n");
  const auto one = small_grammar("DETA + NOMN = NPHR;.\n");
  analysis_pool pool(2, 8);
  for (int i = 0; i < 20; ++i) {
    const auto& g = i % 3 == 0 ? one : two;
    mirask::outcome found{};
    ASSERT_TRUE(pool.run(g, [&](mirask::analyser& a) {
      EXPECT_EQ(a.grammar().rule_count(), g->rule_count());
      found = a.parse("Der Hund bellt.").outcome();
    }));
    EXPECT_EQ(found, i % 3 == 0 ? mirask::outcome::no_analysis : mirask::outcome::analysed) << i;
  }
  EXPECT_THROW(pool.run(two, [](mirask::analyser&) { throw mirask::error("out of memory"); }),
               mirask::error);
  bool ran = false;
  EXPECT_TRUE(pool.run(two, [&](mirask::analyser&) { ran = true; }));
  EXPECT_TRUE(ran);
}
}  // namespace

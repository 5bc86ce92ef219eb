#include "analyser/suite/suite_progress.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "test_support/streams.hpp"

namespace {
TEST(SuiteProgress, DrawsClearsAndEndsTheLine) {
  captured_output out;
  suite_progress progress(out.file(), true, 12);
  progress.item_done(0);  // the first item is drawn at once
  progress.clear();
  progress.item_done(1);  // after a clear at once again
  progress.item_done(1);  // within the interval: not drawn
  progress.finish();
  EXPECT_EQ(out.text(),
            "\r1 of 12 items, 0 failing"
            "\r                        \r"
            "\r2 of 12 items, 1 failing"
            "\r3 of 12 items, 1 failing\n");
}

TEST(SuiteProgress, RedrawsAfterItsIntervalAndBlanksOutALongerLine) {
  captured_output out;
  suite_progress progress(out.file(), true, -1);
  progress.clear();  // nothing drawn: nothing to remove
  progress.item_done(10);
  std::this_thread::sleep_for(std::chrono::milliseconds(120));
  progress.item_done(3);
  progress.finish();
  EXPECT_EQ(out.text(),
            "\r1 items, 10 failing"
            "\r2 items, 3 failing "
            "\r2 items, 3 failing \n");
}

TEST(SuiteProgress, WithoutTotalAndWhenNotShown) {
  captured_output shown;
  suite_progress unknown(shown.file(), true, -1);
  unknown.finish();
  EXPECT_EQ(shown.text(), "\r0 items, 0 failing\n");
  captured_output hidden;
  suite_progress off(hidden.file(), false, 5);
  off.item_done(0);
  off.clear();
  off.finish();
  EXPECT_EQ(hidden.text(), "");
}

TEST(SuiteProgress, CountsTheItemsOfARegularFileAhead) {
  scratch_directory dir;
  dir.write("s.suite", "$ c\na\n\n*b\nc\tzwei\n");
  std::FILE* file = std::fopen("s.suite", "r");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(count_suite_items(file), 3);
  EXPECT_EQ(std::ftell(file), 0);  // rewound
  std::fclose(file);
  memory_input memory("a\nb\n");
  EXPECT_EQ(count_suite_items(memory.file()), -1);  // no file to read twice
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  std::FILE* pipe_end = fdopen(ends[0], "r");
  EXPECT_EQ(count_suite_items(pipe_end), -1);
  std::fclose(pipe_end);
  close(ends[1]);
}
}  // namespace

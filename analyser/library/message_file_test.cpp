#include "analyser/library/message_file.hpp"

#include <gtest/gtest.h>

#include <climits>

#include "test_support/streams.hpp"

namespace {
struct Messages : ::testing::Test {
  captured_output out;
  message_table messages;
  log_output log{out.file()};

  bool load(const std::string& text) {
    memory_input input(text);
    return read_message_file(messages, input.file(), log);
  }
  int show(int number) { return show_message(messages, log.out, number); }
  std::string shown(int number) {
    const std::string before = out.text();
    show(number);
    return out.text().substr(before.size());
  }
};

TEST_F(Messages, NothingIsShownBeforeLoading) {
  EXPECT_EQ(show(3), -1);
  EXPECT_EQ(out.text(), "");
}

TEST_F(Messages, EmptyLinesBetweenMessagesAreSkipped) {
  ASSERT_TRUE(load("\n3 Regeln\n\n\r\n4 Lexikon\n\n"));
  EXPECT_EQ(shown(3), "Regeln");
  EXPECT_EQ(shown(4), "Lexikon");
  int count = 0;
  for (message_record* m = messages.head; m != nullptr; m = m->next) ++count;
  EXPECT_EQ(count, 2);
}

TEST_F(Messages, FirstOfTwoEqualNumbersWins) {
  ASSERT_TRUE(load("7 first\n7 second\n"));
  EXPECT_EQ(shown(7), "first");
}

TEST_F(Messages, UnknownNumberWritesNothing) {
  ASSERT_TRUE(load("3 x\n"));
  EXPECT_EQ(show(9), -1);
  EXPECT_EQ(out.text(), "");
  EXPECT_EQ(show(3), 0);
}

TEST_F(Messages, NumberIsReadFromTheStartOfTheLine) {
  ASSERT_TRUE(load("3x ignored up to the blank\n-2 minus\n+5 plus\n10  two blanks\n"));
  EXPECT_EQ(shown(3), "ignored up to the blank");
  EXPECT_EQ(shown(-2), "minus");
  EXPECT_EQ(shown(5), "plus");
  EXPECT_EQ(shown(10), " two blanks");
}

TEST_F(Messages, EmptyTextIsAMessage) {
  ASSERT_TRUE(load("6 \n"));
  EXPECT_EQ(show(6), 0);
  EXPECT_EQ(out.text(), "");
}

TEST_F(Messages, HugeNumbersAreClampedNotWrapped) {
  ASSERT_TRUE(load("99999999999 big\n-99999999999 small\n"));
  EXPECT_EQ(shown(INT_MAX), "big");
  EXPECT_EQ(shown(INT_MIN), "small");
}

TEST_F(Messages, BadLinesFailTheWholeFile) {
  const char* bad_files[] = {
      "",      // no message line at all
      "\n\n",  // empty lines only
      "3 ok\n 4 leading blank\n",
      "3 ok\nnumberless text\n",
      "3 ok\n4-no-blank\n",  // no blank at all
      "3 ok\nx 4\n",
  };
  for (const char* text : bad_files) {
    message_table fresh;
    memory_input input(text);
    EXPECT_FALSE(read_message_file(fresh, input.file(), {})) << text;
    EXPECT_EQ(fresh.head, nullptr) << text;
  }
}

TEST_F(Messages, LongLinesAreReadWhole) {
  const std::string text(1000, 'm');
  ASSERT_TRUE(load("3 " + text + "\n4 next\n"));
  EXPECT_EQ(shown(3), text);
  EXPECT_EQ(shown(4), "next");
}

TEST_F(Messages, LastLineWithoutLineEndKeepsItsLastCharacter) {
  ASSERT_TRUE(load("3 one\r\n4 two"));
  EXPECT_EQ(shown(3), "one");
  EXPECT_EQ(shown(4), "two");
}

TEST_F(Messages, EscapesExpandedOnlyWhenShown) {
  ASSERT_TRUE(load("1 a\\nb\n2 a\\rb\n3 a\\tb\n4 a\\\\b\n5 end\\\n6 \\n\n"));
  EXPECT_STREQ(messages.head->text, "a\\nb");
  EXPECT_EQ(shown(1), "a\nb");
  EXPECT_EQ(shown(2), "a\rb");
  EXPECT_EQ(shown(3), "ab");  // any other escaped character is dropped with its backslash
  EXPECT_EQ(shown(4), "ab");
  EXPECT_EQ(shown(5), "end");  // a backslash at the very end is dropped
  EXPECT_EQ(shown(6), "\n");
}

TEST_F(Messages, ExpandedTextHasNoLengthLimit) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += "\\n";
  ASSERT_TRUE(load("9 " + text + "\n"));
  EXPECT_EQ(shown(9), std::string(300, '\n'));
}

TEST_F(Messages, TraceEchoesEveryNonEmptyLineAsRead) {
  log.trace = true;
  ASSERT_TRUE(load("3 a\\n\n\n4 b\r\n"));
  EXPECT_EQ(out.text(), "3 a\\n\n4 b\r\n");
}

}  // namespace

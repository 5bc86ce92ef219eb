#include "analyser/base/memory_output.hpp"

#include <gtest/gtest.h>

TEST(MemoryOutput, EachTakeHandsOutWhatWasWrittenSinceTheLastOne) {
  memory_output out;
  EXPECT_EQ(out.take(), "");
  std::fputs("a longer first text\n", out.file());
  EXPECT_EQ(out.take(), "a longer first text\n");
  std::fputs("short", out.file());
  EXPECT_EQ(out.take(), "short");
  EXPECT_EQ(out.take(), "");
  const std::string big(100000, 'x');
  std::fputs(big.c_str(), out.file());
  std::fputc('\0', out.file());
  EXPECT_EQ(out.take(), big + '\0');
  std::fputs("end", out.file());
  EXPECT_EQ(out.text(), "end");
}

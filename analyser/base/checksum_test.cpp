#include "analyser/base/checksum.hpp"

#include <gtest/gtest.h>

#include "test_support/streams.hpp"

namespace {
TEST(Checksum, Fnv1a64OfKnownTexts) {
  EXPECT_EQ(fnv1a64(""), 0xcbf29ce484222325ULL);
  EXPECT_EQ(fnv1a64("a"), 0xaf63dc4c8601ec8cULL);
  EXPECT_EQ(fnv1a64("foobar"), 0x85944171f73967e8ULL);
  EXPECT_EQ(fnv1a64("bar", fnv1a64("foo")), fnv1a64("foobar"));  // continues a hash
}

TEST(Checksum, ChecksumOfAFileOrNoneWhenItCannotBeRead) {
  scratch_directory dir;
  dir.write("f.txt", "foobar");
  EXPECT_EQ(file_checksum("f.txt"), "fnv1a64:85944171f73967e8");
  EXPECT_EQ(file_checksum("missing.txt"), "");
  EXPECT_EQ(file_checksum("."), "");  // opens, but cannot be read
}

}  // namespace

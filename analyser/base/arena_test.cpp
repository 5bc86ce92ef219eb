#include "analyser/base/arena.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <new>

namespace {
bool aligned(const void* p) {
  return reinterpret_cast<std::uintptr_t>(p) % alignof(std::max_align_t) == 0;
}

TEST(Arena, EveryRecordIsZeroedAlignedAndApart) {
  arena storage;
  auto* empty = static_cast<unsigned char*>(storage.allocate(0));
  auto* three = static_cast<unsigned char*>(storage.allocate(3));
  EXPECT_TRUE(aligned(empty));
  EXPECT_TRUE(aligned(three));
  EXPECT_NE(empty, three);  // a record of no bytes still has a place of its own
  for (int i = 0; i < 3; ++i) EXPECT_EQ(three[i], 0);
  EXPECT_GT(storage.bytes_reserved(), 0u);
}

TEST(Arena, ARecordLargerThanABlockGetsABlockOfItsSize) {
  arena storage;
  constexpr std::size_t kHuge = 20 * 1024 * 1024;  // beyond the largest block
  auto* huge = static_cast<unsigned char*>(storage.allocate(kHuge));
  EXPECT_EQ(huge[0], 0);
  EXPECT_EQ(huge[kHuge - 1], 0);
  EXPECT_GE(storage.bytes_reserved(), kHuge);
  // After a reset only the first block is kept.
  storage.reset();
  EXPECT_GE(storage.bytes_reserved(), kHuge);
  storage.allocate(16);
}

TEST(Arena, TheLimitFailsTheBlockBeyondIt) {
  arena storage;
  storage.allocate(10);
  const std::size_t first = storage.bytes_reserved();
  storage.set_limit(first + 1);
  storage.allocate(first / 2);  // still in the first block
  EXPECT_THROW(storage.allocate(first), std::bad_alloc);
  storage.set_limit(0);
  storage.allocate(first);
  EXPECT_GT(storage.bytes_reserved(), first);
}
}  // namespace

// A small first block, as each of many results takes: the blocks after it
// double, so a large sentence still needs few of them.
TEST(Arena, AGivenFirstBlockSizeAndDoublingAfterIt) {
  arena small(4096);
  small.allocate(16);
  EXPECT_EQ(small.bytes_reserved(), 4096u);
  for (int i = 0; i < 1000; ++i) small.allocate(100);  // some 100 KB
  EXPECT_LT(small.bytes_reserved(), 4096u * 64);
  arena usual;
  usual.allocate(16);
  EXPECT_EQ(usual.bytes_reserved(), arena::kFirstBlockSize);
}

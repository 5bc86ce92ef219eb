#include "sorter/tail_blocks.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The sizes asked for so far, and how many more requests get memory.
std::vector<std::size_t> requests;
int requests_granted = 0;

void* recording_allocator(std::size_t size) {
  requests.push_back(size);
  return requests_granted-- > 0 ? std::malloc(size) : nullptr;
}

// The blocks among the requests: everything but the directory's.
int block_requests() {
  int blocks = 0;
  for (const std::size_t size : requests) blocks += size >= kTailBlockBytes;
  return blocks;
}

class tail_blocks_test : public ::testing::Test {
 protected:
  void SetUp() override {
    requests.clear();
    requests_granted = 1000;
  }

  // Adds `text`; returns its reference, and keeps it.
  tail_ref add(const std::string& text) {
    const tail_ref ref = add_tail(tails, recording_allocator,
                                  reinterpret_cast<const unsigned char*>(text.data()), text.size());
    if (ref != kNoTail) refs.push_back(ref);
    return ref;
  }

  std::string text_at(tail_ref ref) const {
    return reinterpret_cast<const char*>(tail_at(tails, ref));
  }

  tail_blocks tails;
  std::vector<tail_ref> refs;
};

TEST_F(tail_blocks_test, FindsEveryTailByItsReference) {
  const std::vector<std::string> texts = {"a", "bc", std::string(199, 'x'), "\x80\xff", "d"};
  for (const std::string& text : texts) ASSERT_NE(add(text), kNoTail);
  for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(text_at(refs[i]), texts[i]);
  EXPECT_EQ(block_requests(), 1);
}

TEST_F(tail_blocks_test, FillsABlockToTheLastByteBeforeAskingForTheNext) {
  constexpr std::size_t kLength = 127;  // and the terminator: 128 bytes
  constexpr std::size_t kPerBlock = kTailBlockBytes / (kLength + 1);
  for (std::size_t i = 0; i < kPerBlock; ++i) ASSERT_NE(add(std::string(kLength, 'a')), kNoTail);
  EXPECT_EQ(block_requests(), 1);
  ASSERT_NE(add("b"), kNoTail);
  EXPECT_EQ(block_requests(), 2);
  EXPECT_EQ(refs.back(), tail_ref{1} << kTailOffsetBits);  // the first tail of the second block
  EXPECT_EQ(text_at(refs[kPerBlock - 1]), std::string(kLength, 'a'));
  EXPECT_EQ(text_at(refs.back()), "b");
}

TEST_F(tail_blocks_test, GivesATailLongerThanABlockABlockOfItsOwn) {
  const std::string longest(kTailBlockBytes, 'l');
  ASSERT_NE(add("a"), kNoTail);
  ASSERT_NE(add(longest), kNoTail);
  ASSERT_NE(add("b"), kNoTail);
  ASSERT_EQ(block_requests(), 3);
  EXPECT_EQ(requests[requests.size() - 2], longest.size() + 1 + kTailSlack);
  EXPECT_EQ(requests.back(), kTailBlockBytes + kTailSlack);
  EXPECT_EQ(text_at(refs[0]), "a");
  EXPECT_EQ(text_at(refs[1]), longest);
  EXPECT_EQ(text_at(refs[2]), "b");
}

TEST_F(tail_blocks_test, GrowsTheDirectoryForManyBlocks) {
  constexpr std::size_t kLength = kTailBlockBytes - 1;  // a block each
  constexpr int kBlocks = 130;                          // the directory grows twice
  for (int i = 0; i < kBlocks; ++i) ASSERT_NE(add(std::string(kLength, 'a' + i % 26)), kNoTail);
  EXPECT_EQ(block_requests(), kBlocks);
  for (int i = 0; i < kBlocks; ++i) EXPECT_EQ(text_at(refs[i])[0], 'a' + i % 26) << i;
}

// The walk finds every tail in the order made, across blocks whose ends
// are marked, full to the byte, or one oversized tail, and stops at the
// last one asked for.
TEST_F(tail_blocks_test, WalksEveryTailInTheOrderMade) {
  std::vector<std::string> texts;
  for (int i = 0; i < 3000; ++i) texts.push_back(std::string(1 + i % 150, 'a' + i % 26));
  texts.push_back(std::string(kTailBlockBytes + 5, 'o'));
  texts.push_back("after");
  texts.push_back(std::string(kTailBlockBytes - 1, 'f'));  // a block to the byte
  texts.push_back("last");
  texts.push_back("not walked");
  for (const std::string& text : texts) ASSERT_NE(add(text), kNoTail);
  std::vector<std::string> walked;
  std::vector<tail_ref> walked_refs;
  EXPECT_TRUE(for_each_tail(tails, refs[refs.size() - 2],
                            [&](tail_ref ref, const unsigned char* tail, std::size_t length) {
                              walked.emplace_back(reinterpret_cast<const char*>(tail), length);
                              walked_refs.push_back(ref);
                              return true;
                            }));
  texts.pop_back();
  refs.pop_back();
  EXPECT_EQ(walked, texts);
  EXPECT_EQ(walked_refs, refs);
  int visited = 0;
  EXPECT_FALSE(for_each_tail(tails, refs.back(), [&](tail_ref, const unsigned char*, std::size_t) {
    return ++visited < 5;
  }));
  EXPECT_EQ(visited, 5);
}

TEST_F(tail_blocks_test, MakesNothingWhenTheAllocatorRunsDry) {
  requests_granted = 0;
  EXPECT_EQ(add("a"), kNoTail);
  EXPECT_EQ(tails.count, 0u);
  requests_granted = 1;  // the directory, but no block
  EXPECT_EQ(add("a"), kNoTail);
  EXPECT_EQ(tails.count, 0u);
  requests_granted = 1;
  ASSERT_NE(add("a"), kNoTail);
  EXPECT_EQ(text_at(refs.back()), "a");
  requests_granted = 0;
  EXPECT_EQ(add(std::string(kTailBlockBytes, 'b')), kNoTail);  // the first block keeps its tail
  EXPECT_EQ(text_at(refs.back()), "a");
}

}  // namespace

#include "sorter/entry_blocks.hpp"

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
  for (const std::size_t size : requests) blocks += size >= kEntryBlockBytes;
  return blocks;
}

class entry_blocks_test : public ::testing::Test {
 protected:
  void SetUp() override {
    requests.clear();
    requests_granted = 1000;
  }

  // Adds `text`; returns the entry, or null, and keeps its reference.
  word_entry* add(const std::string& text) {
    entry_ref ref = kNoEntry;
    word_entry* const entry =
        add_entry(entries, recording_allocator, reinterpret_cast<const unsigned char*>(text.data()),
                  text.size(), ref);
    if (entry != nullptr) refs.push_back(ref);
    return entry;
  }

  std::string text_at(entry_ref ref) const {
    return reinterpret_cast<const char*>(entry_at(entries, ref)->text());
  }

  entry_blocks entries;
  std::vector<entry_ref> refs;
};

TEST_F(entry_blocks_test, FindsEveryEntryByItsReference) {
  const std::vector<std::string> texts = {"a", "bc", std::string(199, 'x'), "\x80\xff", "d"};
  for (const std::string& text : texts) {
    word_entry* const entry = add(text);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->count, 1);
    EXPECT_EQ(entry, entry_at(entries, refs.back()));
  }
  for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(text_at(refs[i]), texts[i]);
  EXPECT_EQ(block_requests(), 1);
}

TEST_F(entry_blocks_test, FillsABlockToTheLastByteBeforeAskingForTheNext) {
  constexpr std::size_t kLength = 119;
  static_assert(kEntryBlockBytes % entry_bytes(kLength) == 0);
  constexpr std::size_t kPerBlock = kEntryBlockBytes / entry_bytes(kLength);
  for (std::size_t i = 0; i < kPerBlock; ++i) ASSERT_NE(add(std::string(kLength, 'a')), nullptr);
  EXPECT_EQ(block_requests(), 1);
  ASSERT_NE(add(std::string(kLength, 'b')), nullptr);
  EXPECT_EQ(block_requests(), 2);
  EXPECT_EQ(refs.back() >> kOffsetBits, 1u);  // the first entry of the second block
  EXPECT_EQ(refs.back() & (kBlockOffsets - 1), 0u);
  EXPECT_EQ(text_at(refs[kPerBlock - 1]), std::string(kLength, 'a'));
}

TEST_F(entry_blocks_test, GivesATextLongerThanABlockABlockOfItsOwn) {
  const std::string longest(kEntryBlockBytes, 'l');
  ASSERT_NE(add("a"), nullptr);
  ASSERT_NE(add(longest), nullptr);
  ASSERT_NE(add("b"), nullptr);
  ASSERT_EQ(block_requests(), 3);
  EXPECT_EQ(requests[requests.size() - 2], entry_bytes(longest.size()));
  EXPECT_EQ(requests.back(), kEntryBlockBytes);
  EXPECT_EQ(text_at(refs[0]), "a");
  EXPECT_EQ(text_at(refs[1]), longest);
  EXPECT_EQ(text_at(refs[2]), "b");
}

TEST_F(entry_blocks_test, GrowsTheDirectoryForManyBlocks) {
  // Texts whose entries fill a block each.
  constexpr std::size_t kLength = kEntryBlockBytes - sizeof(word_entry) - 1;
  static_assert(entry_bytes(kLength) == kEntryBlockBytes);
  constexpr int kBlocks = 130;  // the directory grows twice
  for (int i = 0; i < kBlocks; ++i) ASSERT_NE(add(std::string(kLength, 'a' + i % 26)), nullptr);
  EXPECT_EQ(block_requests(), kBlocks);
  for (int i = 0; i < kBlocks; ++i) EXPECT_EQ(text_at(refs[i])[0], 'a' + i % 26) << i;
}

TEST_F(entry_blocks_test, MakesNothingWhenTheAllocatorRunsDry) {
  requests_granted = 0;
  EXPECT_EQ(add("a"), nullptr);
  EXPECT_EQ(entries.count, 0u);
  requests_granted = 1;  // the directory, but no block
  EXPECT_EQ(add("a"), nullptr);
  EXPECT_EQ(entries.count, 0u);
  requests_granted = 1;
  ASSERT_NE(add("a"), nullptr);
  EXPECT_EQ(text_at(refs.back()), "a");
}

TEST_F(entry_blocks_test, KeepsItsEntriesWhenANewBlockIsRefused) {
  constexpr std::size_t kLength = 119;
  constexpr std::size_t kPerBlock = kEntryBlockBytes / entry_bytes(kLength);
  for (std::size_t i = 0; i < kPerBlock; ++i) ASSERT_NE(add(std::string(kLength, 'a')), nullptr);
  requests_granted = 0;
  EXPECT_EQ(add(std::string(kLength, 'b')), nullptr);
  EXPECT_EQ(entries.count, 1u);
  EXPECT_EQ(text_at(refs.back()), std::string(kLength, 'a'));
}

// The walk through the blocks finds every entry in the order made, across
// blocks whose ends are marked, full to the byte, or one oversized entry.
TEST_F(entry_blocks_test, WalksEveryEntryInTheOrderMade) {
  std::vector<std::string> texts;
  for (int i = 0; i < 3000; ++i) texts.push_back(std::string(1 + i % 150, 'a' + i % 26));
  texts.push_back(std::string(kEntryBlockBytes + 5, 'o'));
  texts.push_back("after");
  constexpr std::size_t kFull = kEntryBlockBytes - sizeof(word_entry) - 1;  // a block to the byte
  texts.push_back(std::string(kFull, 'f'));
  texts.push_back("last");
  for (const std::string& text : texts) ASSERT_NE(add(text), nullptr);
  std::vector<std::string> walked;
  std::vector<entry_ref> walked_refs;
  EXPECT_TRUE(for_each_made(entries, [&](entry_ref ref, const word_entry& entry) {
    walked.emplace_back(reinterpret_cast<const char*>(entry.text()), entry.length);
    walked_refs.push_back(ref);
    return true;
  }));
  EXPECT_EQ(walked, texts);
  EXPECT_EQ(walked_refs, refs);
  int visited = 0;
  EXPECT_FALSE(for_each_made(entries, [&](entry_ref, const word_entry&) { return ++visited < 5; }));
  EXPECT_EQ(visited, 5);
}

}  // namespace

// The memory of the sorter's entries: blocks obtained from an allocator, in
// which entries are made one after the other, and references of 32 bits
// that find an entry again. Memory is asked for once per few thousand
// entries rather than once per entry, and a reference takes half the room of
// a pointer in the hash table, which every line probes at a random place.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

// Obtains memory as std::malloc does, or null when there is none; whatever
// it hands out is released with std::free. Tests put allocators here that
// run dry.
using allocate_function = void* (*)(std::size_t size);
// Resizes a block as std::realloc does: a null block is obtained anew, and
// when there is no memory the result is null and the block stays as it was.
using resize_function = void* (*)(void* block, std::size_t size);

// One distinct input line. The record is followed in its block by its text:
// the line's characters and a terminating zero byte. Its length is kept, so
// that a walk through the blocks and the output pass need not measure it.
struct word_entry {
  int count;             // input lines with this text; 1 when the entry is made
  std::uint32_t length;  // bytes of the text, without the terminator

  unsigned char* text() { return reinterpret_cast<unsigned char*>(this + 1); }
  const unsigned char* text() const { return reinterpret_cast<const unsigned char*>(this + 1); }
};

// Bytes of a block. An entry too long for one gets a block of its own size.
constexpr std::size_t kEntryBlockBytes = 64 * 1024;

// Bytes that the entry of a text of `length` characters takes in its block:
// the record, the text and its terminator, rounded up so that the entry
// behind it is aligned.
constexpr std::size_t entry_bytes(std::size_t length) {
  constexpr std::size_t kAlign = alignof(word_entry);
  return (sizeof(word_entry) + length + 1 + kAlign - 1) / kAlign * kAlign;
}

// Where an entry lives: the number of its block, shifted left by
// kOffsetBits, and its offset in the block in units of alignof(word_entry).
// Entries begin in the first kEntryBlockBytes of a block, so the offset
// fits.
using entry_ref = std::uint32_t;

constexpr std::size_t kBlockOffsets = kEntryBlockBytes / alignof(word_entry);
static_assert(std::has_single_bit(kBlockOffsets));
constexpr int kOffsetBits = std::countr_zero(kBlockOffsets);

// The reference to no entry. Block numbers stay below kMostEntryBlocks, so
// no entry has it.
constexpr entry_ref kNoEntry = 0xFFFFFFFF;
constexpr std::size_t kMostEntryBlocks = kNoEntry >> kOffsetBits;

// The blocks in the order they were obtained, and how much of the last one
// entries take. Owns the blocks and releases them all when it goes.
struct entry_blocks {
  unsigned char** blocks = nullptr;  // the directory of the blocks
  std::size_t count = 0;             // blocks obtained
  std::size_t room = 0;              // blocks the directory has room for
  std::size_t used = 0;              // bytes of the last block taken by entries
  std::size_t last_bytes = 0;        // bytes of the last block

  entry_blocks() = default;
  entry_blocks(const entry_blocks&) = delete;
  entry_blocks& operator=(const entry_blocks&) = delete;
  ~entry_blocks();
};

// Makes an entry of count 1 holding the `length` bytes at `text` and a
// terminator, behind the entries of the last block, or at the start of a
// new one when it does not fit there (the room left behind in the block
// before then begins with a record of count 0, which ends its entries), and
// sets `ref` to it. Returns null,
// making nothing, when it needs a new block (or a larger directory) and
// `allocate` has no memory for it, when there are kMostEntryBlocks, or when
// the text is longer than a length of 32 bits can say.
word_entry* add_entry(entry_blocks& entries, allocate_function allocate, const unsigned char* text,
                      std::size_t length, entry_ref& ref);

// The entry that `ref` refers to.
inline word_entry* entry_at(const entry_blocks& entries, entry_ref ref) {
  constexpr std::size_t kOffsetMask = kBlockOffsets - 1;
  unsigned char* const block = entries.blocks[ref >> kOffsetBits];
  return reinterpret_cast<word_entry*>(block + (ref & kOffsetMask) * alignof(word_entry));
}

// Entries ahead of the one in use that such a walk asks for (see
// prefetch_entry).
constexpr std::size_t kPrefetchDistance = 8;

// Asks the processor to bring the entry that `ref` refers to into the cache
// ahead of its use, for walks that visit the entries in an order of their
// own and would otherwise wait for each.
inline void prefetch_entry(const entry_blocks& entries, entry_ref ref) {
  __builtin_prefetch(entry_at(entries, ref));
}

// Calls visit(ref, entry) for every entry in the order they were made, until
// visit returns false. Returns false when visit stopped the walk. Entries
// follow one another in their block; a block ends where no record fits any
// more, at a record of count 0, or after its first entry when that is longer
// than a block.
template <typename visitor>
bool for_each_made(const entry_blocks& entries, visitor visit) {
  for (std::size_t b = 0; b < entries.count; ++b) {
    unsigned char* const block = entries.blocks[b];
    const std::size_t end = b + 1 == entries.count ? entries.used : kEntryBlockBytes;
    for (std::size_t offset = 0; offset + sizeof(word_entry) <= end;) {
      const auto* const entry = reinterpret_cast<const word_entry*>(block + offset);
      if (entry->count == 0) break;
      const entry_ref ref =
          static_cast<entry_ref>(b << kOffsetBits | offset / alignof(word_entry));
      if (!visit(ref, *entry)) return false;
      offset += entry_bytes(entry->length);
    }
  }
  return true;
}

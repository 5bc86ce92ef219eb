// The memory of the tails of long texts: the bytes of a text beyond those
// its entry holds in its keys (see word_entry), each followed by a zero
// byte, made one after the other in blocks obtained from an allocator, and
// references of 32 bits that find a tail again. Few words are long enough to
// have a tail, so the blocks are few and memory is asked for once per
// thousands of tails.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Obtains memory as std::malloc does, or null when there is none; whatever
// it hands out is released with std::free. Tests put allocators here that
// run dry.
using allocate_function = void* (*)(std::size_t size);
// Resizes a block as std::realloc does: a null block is obtained anew, and
// when there is no memory the result is null and the block stays as it was.
using resize_function = void* (*)(void* block, std::size_t size);

// Bytes of a block. A tail too long for one gets a block of its own size.
constexpr std::size_t kTailBlockBytes = 64 * 1024;

// Bytes behind the room of every block that may be read, though no tail
// lies there, so that the first kTailSlack bytes of any tail can be copied
// whole.
constexpr std::size_t kTailSlack = 16;

// Where a tail lives: the number of its block, shifted left by
// kTailOffsetBits, and the offset of its first byte in the block.
using tail_ref = std::uint32_t;

constexpr int kTailOffsetBits = std::countr_zero(kTailBlockBytes);
static_assert(std::has_single_bit(kTailBlockBytes));

// The reference to no tail, as the entry of a short text has. Block numbers
// stay below kMostTailBlocks, so no tail has it.
constexpr tail_ref kNoTail = 0xFFFFFFFF;
constexpr std::size_t kMostTailBlocks = kNoTail >> kTailOffsetBits;

// The blocks in the order they were obtained, and how much of the last one
// tails take. Owns the blocks and releases them all when it goes.
struct tail_blocks {
  unsigned char** blocks = nullptr;  // the directory of the blocks
  std::size_t count = 0;             // blocks obtained
  std::size_t room = 0;              // blocks the directory has room for
  std::size_t used = 0;              // bytes of the last block taken by tails
  std::size_t last_bytes = 0;        // bytes of the last block

  tail_blocks() = default;
  tail_blocks(const tail_blocks&) = delete;
  tail_blocks& operator=(const tail_blocks&) = delete;
  ~tail_blocks();
};

// Makes a tail of the `length` bytes at `text` and a terminator at the start
// of a new block (the room left behind in the block before then begins with
// a zero byte, an empty tail, which no tail is), and returns its reference.
// Returns kNoTail, making nothing, when `allocate` has no memory for the
// block (or a larger directory), or when there are kMostTailBlocks.
tail_ref add_tail_in_new_block(tail_blocks& tails, allocate_function allocate,
                               const unsigned char* text, std::size_t length);

// The longest copy that copy_short makes.
constexpr std::size_t kShortCopyBytes = 2 * sizeof(std::uint64_t);

// Copies the `count` bytes at `from`, at most kShortCopyBytes of them, to
// `to`: in two loads and stores that may overlap rather than byte by byte.
inline void copy_short(unsigned char* to, const unsigned char* from, std::size_t count) {
  constexpr std::size_t kWord = sizeof(std::uint64_t);
  constexpr std::size_t kHalfWord = kWord / 2;
  if (count >= kWord) {
    std::uint64_t first, last;
    std::memcpy(&first, from, kWord);
    std::memcpy(&last, from + count - kWord, kWord);
    std::memcpy(to, &first, kWord);
    std::memcpy(to + count - kWord, &last, kWord);
  } else if (count >= kHalfWord) {
    std::uint32_t first, last;
    std::memcpy(&first, from, kHalfWord);
    std::memcpy(&last, from + count - kHalfWord, kHalfWord);
    std::memcpy(to, &first, kHalfWord);
    std::memcpy(to + count - kHalfWord, &last, kHalfWord);
  } else {
    for (std::size_t i = 0; i < count; ++i) to[i] = from[i];
  }
}

// Makes a tail of the `length` bytes at `text` and a terminator, behind the
// tails of the last block, or at the start of a new one when it does not fit
// there (see add_tail_in_new_block), and returns its reference, or kNoTail.
inline tail_ref add_tail(tail_blocks& tails, allocate_function allocate, const unsigned char* text,
                         std::size_t length) {
  if (length >= tails.last_bytes - tails.used)
    return add_tail_in_new_block(tails, allocate, text, length);
  unsigned char* const tail = tails.blocks[tails.count - 1] + tails.used;
  if (length <= kShortCopyBytes) {
    copy_short(tail, text, length);
  } else {
    std::memcpy(tail, text, length);
  }
  tail[length] = 0;
  const auto ref = static_cast<tail_ref>((tails.count - 1) << kTailOffsetBits | tails.used);
  tails.used += length + 1;
  return ref;
}

// The terminated tail that `ref` refers to.
inline const unsigned char* tail_at(const tail_blocks& tails, tail_ref ref) {
  constexpr tail_ref kOffsetMask = (tail_ref{1} << kTailOffsetBits) - 1;
  return tails.blocks[ref >> kTailOffsetBits] + (ref & kOffsetMask);
}

// Calls visit(ref, tail, length) for every tail in the order they were made,
// up to and including the one at `last`, until visit returns false.
// Returns false when visit stopped the walk. Tails follow one another in
// their block; a block ends where kTailBlockBytes are used, at an empty
// tail, or after its first tail when that is longer than a block.
template <typename visitor>
bool for_each_tail(const tail_blocks& tails, tail_ref last, visitor visit) {
  for (std::size_t b = 0; b <= last >> kTailOffsetBits; ++b) {
    const unsigned char* const block = tails.blocks[b];
    for (std::size_t offset = 0; offset < kTailBlockBytes && block[offset] != 0;) {
      const auto ref = static_cast<tail_ref>(b << kTailOffsetBits | offset);
      const auto* const tail = block + offset;
      const std::size_t length = std::strlen(reinterpret_cast<const char*>(tail));
      if (!visit(ref, tail, length)) return false;
      if (ref == last) return true;
      offset += length + 1;
    }
  }
  return true;
}

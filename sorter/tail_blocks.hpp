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

// Obtains memory as std::malloc does, or null when there is none; whatever
// it hands out is released with std::free. Tests put allocators here that
// run dry.
using allocate_function = void* (*)(std::size_t size);
// Resizes a block as std::realloc does: a null block is obtained anew, and
// when there is no memory the result is null and the block stays as it was.
using resize_function = void* (*)(void* block, std::size_t size);

// Bytes of a block. A tail too long for one gets a block of its own size.
constexpr std::size_t kTailBlockBytes = 64 * 1024;

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

// Makes a tail of the `length` bytes at `text` and a terminator, behind the
// tails of the last block, or at the start of a new one when it does not fit
// there, and returns its reference. Returns kNoTail, making nothing, when it
// needs a new block (or a larger directory) and `allocate` has no memory for
// it, or when there are kMostTailBlocks.
tail_ref add_tail(tail_blocks& tails, allocate_function allocate, const unsigned char* text,
                  std::size_t length);

// The terminated tail that `ref` refers to.
inline const unsigned char* tail_at(const tail_blocks& tails, tail_ref ref) {
  constexpr tail_ref kOffsetMask = (tail_ref{1} << kTailOffsetBits) - 1;
  return tails.blocks[ref >> kTailOffsetBits] + (ref & kOffsetMask);
}

#include "sorter/tail_blocks.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>

tail_blocks::~tail_blocks() {
  for (std::size_t i = 0; i < count; ++i) std::free(blocks[i]);
  std::free(blocks);
}

namespace {

// Blocks the first directory has room for; every growth doubles it.
constexpr std::size_t kFirstDirectoryRoom = 64;

// Makes room in the directory for one more block. Returns false, leaving it
// as it was, when `allocate` has no memory for a larger one.
bool make_directory_room(tail_blocks& tails, allocate_function allocate) {
  if (tails.count < tails.room) return true;
  const std::size_t room = tails.room == 0 ? kFirstDirectoryRoom : 2 * tails.room;
  void* const memory = allocate(room * sizeof(unsigned char*));
  if (memory == nullptr) return false;
  auto* const blocks = static_cast<unsigned char**>(memory);
  std::copy_n(tails.blocks, tails.count, blocks);
  std::free(tails.blocks);
  tails.blocks = blocks;
  tails.room = room;
  return true;
}

// Makes a new block, of kTailBlockBytes or of `bytes` if that is more, and
// kTailSlack, the last one; the room left in the one before is given up,
// marked by a zero byte where there is any. Returns false when there are
// kMostTailBlocks or `allocate` has no memory.
bool add_block(tail_blocks& tails, allocate_function allocate, std::size_t bytes) {
  if (tails.count == kMostTailBlocks || !make_directory_room(tails, allocate)) return false;
  const std::size_t size = std::max(kTailBlockBytes, bytes);
  auto* const block = static_cast<unsigned char*>(allocate(size + kTailSlack));
  if (block == nullptr) return false;
  std::fill_n(block + size, kTailSlack, 0);  // read, never used
  if (tails.used < tails.last_bytes) tails.blocks[tails.count - 1][tails.used] = 0;
  tails.blocks[tails.count++] = block;
  tails.used = 0;
  tails.last_bytes = size;
  return true;
}

}  // namespace

// A tail longer than a block starts its own block, at offset 0, so every
// offset fits in kTailOffsetBits.
tail_ref add_tail_in_new_block(tail_blocks& tails, allocate_function allocate,
                               const unsigned char* text, std::size_t length) {
  if (!add_block(tails, allocate, length + 1)) return kNoTail;
  unsigned char* const tail = tails.blocks[tails.count - 1];
  std::memcpy(tail, text, length);
  tail[length] = 0;
  tails.used = length + 1;
  return static_cast<tail_ref>((tails.count - 1) << kTailOffsetBits);
}

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

// Makes a new block, of kTailBlockBytes or of `bytes` if that is more, the
// last one; the room left in the one before is given up. Returns false when
// there are kMostTailBlocks or `allocate` has no memory.
bool add_block(tail_blocks& tails, allocate_function allocate, std::size_t bytes) {
  if (tails.count == kMostTailBlocks || !make_directory_room(tails, allocate)) return false;
  const std::size_t size = std::max(kTailBlockBytes, bytes);
  void* const block = allocate(size);
  if (block == nullptr) return false;
  tails.blocks[tails.count++] = static_cast<unsigned char*>(block);
  tails.used = 0;
  tails.last_bytes = size;
  return true;
}

}  // namespace

// A tail longer than a block starts its own block, at offset 0, so every
// offset fits in kTailOffsetBits.
tail_ref add_tail(tail_blocks& tails, allocate_function allocate, const unsigned char* text,
                  std::size_t length) {
  const std::size_t bytes = length + 1;
  if (bytes > tails.last_bytes - tails.used && !add_block(tails, allocate, bytes)) return kNoTail;
  unsigned char* const tail = tails.blocks[tails.count - 1] + tails.used;
  std::memcpy(tail, text, length);
  tail[length] = 0;
  const auto ref = static_cast<tail_ref>((tails.count - 1) << kTailOffsetBits | tails.used);
  tails.used += bytes;
  return ref;
}

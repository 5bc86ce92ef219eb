#include "sorter/entry_blocks.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

entry_blocks::~entry_blocks() {
  for (std::size_t i = 0; i < count; ++i) std::free(blocks[i]);
  std::free(blocks);
}

namespace {

// Blocks the first directory has room for; every growth doubles it.
constexpr std::size_t kFirstDirectoryRoom = 64;

// Makes room in the directory for one more block. Returns false, leaving it
// as it was, when `allocate` has no memory for a larger one.
bool make_directory_room(entry_blocks& entries, allocate_function allocate) {
  if (entries.count < entries.room) return true;
  const std::size_t room = entries.room == 0 ? kFirstDirectoryRoom : 2 * entries.room;
  void* const memory = allocate(room * sizeof(unsigned char*));
  if (memory == nullptr) return false;
  auto* const blocks = static_cast<unsigned char**>(memory);
  std::copy_n(entries.blocks, entries.count, blocks);
  std::free(entries.blocks);
  entries.blocks = blocks;
  entries.room = room;
  return true;
}

// Makes a new block, of kEntryBlockBytes or of `bytes` if that is more, the
// last one. The room left in the one before is given up, marked by a record
// of count 0 where it is large enough for one. Returns false when
// there are kMostEntryBlocks or `allocate` has no memory.
bool add_block(entry_blocks& entries, allocate_function allocate, std::size_t bytes) {
  if (entries.count == kMostEntryBlocks || !make_directory_room(entries, allocate)) return false;
  const std::size_t size = std::max(kEntryBlockBytes, bytes);
  void* const block = allocate(size);
  if (block == nullptr) return false;
  if (entries.last_bytes - entries.used >= sizeof(word_entry))
    new (entries.blocks[entries.count - 1] + entries.used) word_entry{0, 0};
  entries.blocks[entries.count++] = static_cast<unsigned char*>(block);
  entries.used = 0;
  entries.last_bytes = size;
  return true;
}

}  // namespace

word_entry* add_entry(entry_blocks& entries, allocate_function allocate, const unsigned char* text,
                      std::size_t length, entry_ref& ref) {
  if (length > std::numeric_limits<std::uint32_t>::max()) return nullptr;
  const std::size_t bytes = entry_bytes(length);
  if (bytes > entries.last_bytes - entries.used && !add_block(entries, allocate, bytes))
    return nullptr;
  const std::size_t block = entries.count - 1;
  word_entry* const entry =
      new (entries.blocks[block] + entries.used) word_entry{1, static_cast<std::uint32_t>(length)};
  std::memcpy(entry->text(), text, length);
  entry->text()[length] = 0;
  ref = static_cast<entry_ref>(block << kOffsetBits | entries.used / alignof(word_entry));
  entries.used += bytes;
  return entry;
}

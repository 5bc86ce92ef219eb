#include "analyser/base/arena.hpp"

#include <new>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
constexpr std::size_t kLargestBlockSize = 16 * 1024 * 1024;
}  // namespace

arena::~arena() {
  while (blocks_ != nullptr) {
    block* next = blocks_->next;
    ::operator delete(blocks_);
    blocks_ = next;
  }
}

void arena::grow(std::size_t at_least) {
  std::size_t size = blocks_ == nullptr ? first_block_size_ : blocks_->size * 2;
  if (size > kLargestBlockSize) size = kLargestBlockSize;
  std::size_t header = round_up(sizeof(block));
  if (size < header + at_least) size = header + at_least;
  if (limit_ != 0 && reserved_ + size > limit_) throw std::bad_alloc();
  // Blocks come from operator new like every other allocation of the
  // analyser, so one allocator sees (and can fail) them all.
  auto* fresh = static_cast<block*>(::operator new(size));
  fresh->next = blocks_;
  fresh->size = size;
  blocks_ = fresh;
  reserved_ += size;
  cursor_ = reinterpret_cast<unsigned char*>(fresh) + header;
  end_ = reinterpret_cast<unsigned char*>(fresh) + size;
}

void arena::reset() {
  if (blocks_ == nullptr) return;
  // Keep the oldest block, the smallest one, for the next round.
  block* oldest = blocks_;
  while (oldest->next != nullptr) oldest = oldest->next;
  block* b = blocks_;
  while (b != oldest) {
    block* next = b->next;
    ::operator delete(b);
    b = next;
  }
  blocks_ = oldest;
  reserved_ = oldest->size;
  cursor_ = reinterpret_cast<unsigned char*>(oldest) + round_up(sizeof(block));
  end_ = reinterpret_cast<unsigned char*>(oldest) + oldest->size;
}

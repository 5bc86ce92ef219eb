#include "analyser/driver/arena.hpp"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {
constexpr std::size_t kAlignment = alignof(std::max_align_t);
constexpr std::size_t kFirstBlockSize = 64 * 1024;
constexpr std::size_t kLargestBlockSize = 16 * 1024 * 1024;

std::size_t round_up(std::size_t n) { return (n + kAlignment - 1) & ~(kAlignment - 1); }
}  // namespace

Arena::~Arena() {
  while (blocks_ != nullptr) {
    Block* next = blocks_->next;
    std::free(blocks_);
    blocks_ = next;
  }
}

bool Arena::grow(std::size_t at_least) {
  std::size_t size = blocks_ == nullptr ? kFirstBlockSize : blocks_->size * 2;
  if (size > kLargestBlockSize) size = kLargestBlockSize;
  std::size_t header = round_up(sizeof(Block));
  if (size < header + at_least) size = header + at_least;
  if (limit_ != 0 && reserved_ + size > limit_) return false;
  auto* block = static_cast<Block*>(std::malloc(size));
  if (block == nullptr) return false;
  block->next = blocks_;
  block->size = size;
  blocks_ = block;
  reserved_ += size;
  cursor_ = reinterpret_cast<unsigned char*>(block) + header;
  end_ = reinterpret_cast<unsigned char*>(block) + size;
  return true;
}

void* Arena::allocate(std::size_t size) {
  size = round_up(size == 0 ? 1 : size);
  if (cursor_ == nullptr || static_cast<std::size_t>(end_ - cursor_) < size) {
    if (!grow(size)) return nullptr;
  }
  void* result = cursor_;
  cursor_ += size;
  std::memset(result, 0, size);
  return result;
}

void Arena::reset() {
  if (blocks_ == nullptr) return;
  // Keep the oldest block, the smallest one, for the next round.
  Block* oldest = blocks_;
  while (oldest->next != nullptr) oldest = oldest->next;
  Block* b = blocks_;
  while (b != oldest) {
    Block* next = b->next;
    std::free(b);
    b = next;
  }
  blocks_ = oldest;
  reserved_ = oldest->size;
  cursor_ = reinterpret_cast<unsigned char*>(oldest) + round_up(sizeof(Block));
  end_ = reinterpret_cast<unsigned char*>(oldest) + oldest->size;
}

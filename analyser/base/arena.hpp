// Bump allocator for records that live as long as their owner: the tables
// loaded at start-up, or the nodes of one sentence. Storage that cannot be
// had throws std::bad_alloc like any allocation, so running out of memory
// has one path (fatal_error.hpp); an optional byte limit lets tests provoke
// it on purpose.
#pragma once

#include <cstddef>
#include <cstring>

class arena {
 public:
  // The size of the first block unless one is given: the room of a
  // sentence's nodes for most sentences.
  static constexpr std::size_t kFirstBlockSize = 64 * 1024;

  arena() = default;
  // An arena whose first block takes `first_block_size` bytes: for storage
  // that many values hold at once, each a little.
  explicit arena(std::size_t first_block_size) : first_block_size_(first_block_size) {}
  arena(const arena&) = delete;
  arena& operator=(const arena&) = delete;
  ~arena();

  // Zeroed storage for `size` bytes aligned for any record; throws
  // std::bad_alloc when memory (or the limit) is exhausted.
  void* allocate(std::size_t size) {
    void* result = allocate_uninitialised(size);
    std::memset(result, 0, size);
    return result;
  }

  // The same storage, not zeroed: for a caller that fills all of it.
  void* allocate_uninitialised(std::size_t size) {
    size = round_up(size == 0 ? 1 : size);
    if (static_cast<std::size_t>(end_ - cursor_) < size) grow(size);
    void* result = cursor_;
    cursor_ += size;
    return result;
  }

  // Typed convenience: a zeroed T.
  template <typename T>
  T* make() {
    return static_cast<T*>(allocate(sizeof(T)));
  }

  // Releases everything allocated so far; the first block is kept for reuse.
  void reset();

  // Total bytes of the blocks obtained.
  std::size_t bytes_reserved() const { return reserved_; }

  // 0 means no limit; otherwise allocate() fails once the blocks reserved
  // would exceed `limit` bytes.
  void set_limit(std::size_t limit) { limit_ = limit; }

 private:
  struct block {
    block* next;
    std::size_t size;
  };
  static constexpr std::size_t kAlignment = alignof(std::max_align_t);
  static std::size_t round_up(std::size_t n) { return (n + kAlignment - 1) & ~(kAlignment - 1); }
  void grow(std::size_t at_least);

  block* blocks_ = nullptr;  // newest first
  unsigned char* cursor_ = nullptr;
  unsigned char* end_ = nullptr;
  std::size_t reserved_ = 0;
  std::size_t limit_ = 0;
  std::size_t first_block_size_ = kFirstBlockSize;
};

// Bump allocator for records that live as long as their owner: the tables
// loaded at start-up, or the nodes of one sentence. Blocks come from malloc,
// so running out of memory is seen as a null result and the caller reports
// it in its own words; an optional byte limit lets tests and the node guard
// provoke that path on purpose.
#pragma once

#include <cstddef>

class Arena {
 public:
  Arena() = default;
  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;
  ~Arena();

  // Storage for `size` bytes aligned for any record, or nullptr when memory
  // (or the limit) is exhausted. The bytes are zeroed.
  void* allocate(std::size_t size);

  // Typed convenience: a zeroed T, or nullptr.
  template <typename T>
  T* make() {
    return static_cast<T*>(allocate(sizeof(T)));
  }

  // Releases everything allocated so far; the first block is kept for reuse.
  void reset();

  // Total bytes obtained from malloc (blocks included in full).
  std::size_t bytes_reserved() const { return reserved_; }

  // 0 means no limit; otherwise allocate() fails once the blocks reserved
  // would exceed `limit` bytes.
  void set_limit(std::size_t limit) { limit_ = limit; }

 private:
  struct Block {
    Block* next;
    std::size_t size;
  };
  bool grow(std::size_t at_least);

  Block* blocks_ = nullptr;  // newest first
  unsigned char* cursor_ = nullptr;
  unsigned char* end_ = nullptr;
  std::size_t reserved_ = 0;
  std::size_t limit_ = 0;
};

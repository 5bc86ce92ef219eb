// An append-only array stored in pages of a fixed number of elements: it
// grows without moving any element, so an element's address and index stay
// valid, and it never holds more than one page that is not yet filled.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

template <typename T, int kPageBits>
class paged_array {
 public:
  static constexpr std::uint32_t kPageSize = std::uint32_t{1} << kPageBits;

  std::uint32_t size() const { return size_; }

  T& operator[](std::uint32_t i) { return pages_[i >> kPageBits][i & kIndexMask]; }
  const T& operator[](std::uint32_t i) const { return pages_[i >> kPageBits][i & kIndexMask]; }

  void push_back(const T& value) {
    if (size_ == capacity_) add_page();
    (*this)[size_++] = value;
  }

  // Forgets the elements; the pages stay for the next use.
  void clear() { size_ = 0; }

  // Bytes of the pages and of their directory.
  std::size_t bytes() const {
    return pages_.size() * kPageSize * sizeof(T) + pages_.capacity() * sizeof(pages_[0]);
  }

 private:
  static constexpr std::uint32_t kIndexMask = kPageSize - 1;

  void add_page() {
    // Owned before the directory grows, so a failing growth leaks no page.
    std::unique_ptr<T[]> page(new T[kPageSize]);
    pages_.push_back(std::move(page));
    capacity_ += kPageSize;
  }

  std::vector<std::unique_ptr<T[]>> pages_;
  std::uint32_t size_ = 0;
  std::uint32_t capacity_ = 0;  // elements the pages hold
};

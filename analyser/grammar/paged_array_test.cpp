#include "analyser/grammar/paged_array.hpp"

#include <gtest/gtest.h>

namespace {

TEST(PagedArray, ElementsKeepTheirPlaceAcrossPages) {
  paged_array<int, 2> array;  // pages of four elements
  EXPECT_EQ(array.bytes(), 0u);
  array.push_back(0);
  const int* first = &array[0];
  for (int i = 1; i < 9; ++i) array.push_back(i);
  EXPECT_EQ(array.size(), 9u);
  EXPECT_EQ(&array[0], first);
  for (std::uint32_t i = 0; i < 9; ++i) EXPECT_EQ(array[i], static_cast<int>(i));
  EXPECT_GE(array.bytes(), 3 * 4 * sizeof(int));
}

TEST(PagedArray, PageBoundaryAndReuseAfterClear) {
  paged_array<int, 2> array;
  for (int i = 0; i < 4; ++i) array.push_back(i);
  const std::size_t one_page = array.bytes();
  array.push_back(4);
  EXPECT_GT(array.bytes(), one_page);
  const std::size_t two_pages = array.bytes();
  array.clear();
  EXPECT_EQ(array.size(), 0u);
  for (int i = 10; i < 15; ++i) array.push_back(i);
  EXPECT_EQ(array.bytes(), two_pages);
  EXPECT_EQ(array[0], 10);
  EXPECT_EQ(array[4], 14);
}

}  // namespace

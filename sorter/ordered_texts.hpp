// The entries of the store while they come in ascending order, as those of
// a sorted word list do: their whole texts one after the other in tail
// blocks, each as long as the text and its terminator, and apart the few
// whose count is above 1. They take about the room of the word list itself,
// well under that of the store's list of entries, which is made from them
// only once a line comes out of order. As a text can only equal the last
// one, only the last count ever changes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sorter/tail_blocks.hpp"
#include "sorter/word_entry.hpp"

// A text of a count above 1.
struct repeated_text {
  tail_ref text;
  int count;
};

// Owns its repeats and releases them when it goes; the texts belong to the
// tail blocks.
struct ordered_texts {
  tail_ref last = kNoTail;  // the text made last
  std::size_t last_length = 0;
  std::uint64_t last_keys[kKeyCount] = {};
  // The texts of a count above 1, in the order made, and room for at least
  // one more, so that counting a text again needs no memory. A walk by count
  // reorders them and puts them back.
  repeated_text* repeats = nullptr;
  std::size_t repeat_count = 0;
  std::size_t repeat_room = 0;

  ordered_texts() = default;
  ordered_texts(const ordered_texts&) = delete;
  ordered_texts& operator=(const ordered_texts&) = delete;
  ~ordered_texts();
};

// Makes the `length` bytes at `text`, whose keys are `keys`, the last text,
// its count 1. Returns false, making nothing, when `allocate` has no memory
// for it or `resize` none for the room of another repeat.
bool add_ordered_text(ordered_texts& texts, tail_blocks& tails, allocate_function allocate,
                      resize_function resize, const unsigned char* text, std::size_t length,
                      const std::uint64_t* keys);

// Counts the last text once more and returns its count. Needs no memory.
int count_last_again(ordered_texts& texts);

// The bytes of the last text from kKeyedBytes on, terminated: empty when it
// is no longer.
const unsigned char* last_tail(const ordered_texts& texts, const tail_blocks& tails);

// Releases the repeats: no text has a count above 1 any more.
void forget_repeats(ordered_texts& texts);

// Puts the repeats into falling count, those of one count in the order made,
// or back into the order made.
void order_repeats_by_falling_count(const ordered_texts& texts);
void order_repeats_as_made(const ordered_texts& texts);

// Calls visit(ref, text, length, count) for every text, up to and including
// the last, in the order made, until visit returns false. Returns false
// when visit stopped the walk.
template <typename visitor>
bool for_each_ordered(const ordered_texts& texts, const tail_blocks& tails, visitor visit) {
  if (texts.last == kNoTail) return true;
  std::size_t next_repeat = 0;
  return for_each_tail(tails, texts.last,
                       [&](tail_ref ref, const unsigned char* text, std::size_t length) {
                         int count = 1;
                         if (next_repeat < texts.repeat_count &&
                             texts.repeats[next_repeat].text == ref)
                           count = texts.repeats[next_repeat++].count;
                         return visit(ref, text, length, count);
                       });
}

// As for_each_ordered, but in groups of falling count, each in the order
// made: the repeats first, then the texts of count 1.
template <typename visitor>
bool for_each_ordered_by_count(const ordered_texts& texts, const tail_blocks& tails,
                               visitor visit) {
  order_repeats_by_falling_count(texts);
  bool walked = true;
  for (std::size_t i = 0; walked && i < texts.repeat_count; ++i) {
    const repeated_text& repeat = texts.repeats[i];
    const unsigned char* const text = tail_at(tails, repeat.text);
    walked = visit(repeat.text, text, std::strlen(reinterpret_cast<const char*>(text)),
                   repeat.count);
  }
  order_repeats_as_made(texts);
  return walked && for_each_ordered(texts, tails,
                                    [&](tail_ref ref, const unsigned char* text,
                                        std::size_t length, int count) {
                                      return count > 1 || visit(ref, text, length, count);
                                    });
}

#include "sorter/ordered_texts.hpp"

#include <algorithm>
#include <cstdlib>
#include <cstring>

ordered_texts::~ordered_texts() { std::free(repeats); }

namespace {

// Repeats the first room has room for; every growth doubles it.
constexpr std::size_t kFirstRepeatRoom = 64;

// Makes sure there is room for one more repeat than there are.
bool make_repeat_room(ordered_texts& texts, resize_function resize) {
  if (texts.repeat_count < texts.repeat_room) return true;
  const std::size_t room = texts.repeat_room == 0 ? kFirstRepeatRoom : 2 * texts.repeat_room;
  void* const block = resize(texts.repeats, room * sizeof(repeated_text));
  if (block == nullptr) return false;
  texts.repeats = static_cast<repeated_text*>(block);
  texts.repeat_room = room;
  return true;
}

}  // namespace

bool add_ordered_text(ordered_texts& texts, tail_blocks& tails, allocate_function allocate,
                      resize_function resize, const unsigned char* text, std::size_t length,
                      const std::uint64_t* keys) {
  if (!make_repeat_room(texts, resize)) return false;
  const tail_ref ref = add_tail(tails, allocate, text, length);
  if (ref == kNoTail) return false;
  texts.last = ref;
  texts.last_length = length;
  std::copy_n(keys, kKeyCount, texts.last_keys);
  return true;
}

// The repeats are in the order made, so the last text's, if any, is the
// last of them; room for it was made with the text.
int count_last_again(ordered_texts& texts) {
  if (texts.repeat_count > 0 && texts.repeats[texts.repeat_count - 1].text == texts.last)
    return ++texts.repeats[texts.repeat_count - 1].count;
  texts.repeats[texts.repeat_count++] = repeated_text{texts.last, 2};
  return 2;
}

const unsigned char* last_tail(const ordered_texts& texts, const tail_blocks& tails) {
  static constexpr unsigned char kNoText[] = "";
  if (texts.last_length <= kKeyedBytes) return kNoText;
  return tail_at(tails, texts.last) + kKeyedBytes;
}

void forget_repeats(ordered_texts& texts) {
  std::free(texts.repeats);
  texts.repeats = nullptr;
  texts.repeat_count = 0;
  texts.repeat_room = 0;
}

void order_repeats_by_falling_count(const ordered_texts& texts) {
  std::stable_sort(texts.repeats, texts.repeats + texts.repeat_count,
                   [](const repeated_text& a, const repeated_text& b) { return a.count > b.count; });
}

// References grow in the order the tails are made.
void order_repeats_as_made(const ordered_texts& texts) {
  std::sort(texts.repeats, texts.repeats + texts.repeat_count,
            [](const repeated_text& a, const repeated_text& b) { return a.text < b.text; });
}

#include "sorter/output_pass.hpp"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <string_view>

#include "sorter/sorter_state.hpp"
#include "sorter/utf8_text.hpp"

namespace {

// Room for " " and any int as "%d" writes it: a sign and the digits.
constexpr int kCountCharacters = 2 + std::numeric_limits<int>::digits10 + 1;

// Room for the line of a text that its keys hold: the bytes of the keys,
// the count and the line feed.
constexpr std::size_t kLongestShortLine = kKeyedBytes + kCountCharacters + 1;

// The lines of the list, gathered in the state's output block and handed to
// the file a block at a time: a call of the C library per line would cost
// more than the line itself. The block is the state's so that writing needs
// no memory, which may have run out.
class list_writer {
 public:
  list_writer(const sorter_state& state, std::FILE* file)
      : state_(state), file_(file), block_(state.output_block.data()) {}

  // Adds the line of `entry`: its text (in UTF-8 when the lists were), with
  // frequencies a blank and its count, and a line feed. Returns false once a
  // block could not be written whole.
  bool add(const walked_entry& entry) {
    if (entry.beginning.size() <= kKeyedBytes && entry.rest.empty() && !state_.utf8_input &&
        kOutputBufferBytes - used_ >= kLongestShortLine)
      return add_short(entry);
    return add_any(entry);
  }

  // Writes what is gathered. Returns false when not every byte reached the
  // file, now or before.
  bool flush() {
    written_ = written_ && std::fwrite(block_, 1, used_, file_) == used_;
    used_ = 0;
    return written_;
  }

 private:
  bool add_any(const walked_entry& entry) {
    put_text(entry.beginning);
    put_text(entry.rest);
    if (state_.with_frequencies) put_count(entry.count);
    put("\n", 1);
    return written_;
  }

  // The line of a text of at most kKeyedBytes, as add writes it, for a
  // block with room for it: kKeyedBytes are copied whole, and the line goes
  // on behind the text's own.
  bool add_short(const walked_entry& entry) {
    std::memcpy(block_ + used_, entry.beginning.data(), kKeyedBytes);
    used_ += entry.beginning.size();
    if (state_.with_frequencies) {
      block_[used_++] = ' ';
      used_ = std::to_chars(block_ + used_, block_ + kOutputBufferBytes, entry.count).ptr - block_;
    }
    block_[used_++] = '\n';
    if (used_ == kOutputBufferBytes) flush();
    return written_;
  }

  void put(const char* bytes, std::size_t count) {
    while (count > 0) {
      const std::size_t taken = std::min(count, kOutputBufferBytes - used_);
      std::memcpy(block_ + used_, bytes, taken);
      used_ += taken;
      bytes += taken;
      count -= taken;
      if (used_ == kOutputBufferBytes) flush();
    }
  }

  void put_text(std::string_view text) {
    if (!state_.utf8_input) return put(text.data(), text.size());
    char character[kLongestUtf8OfCode];
    for (const char code : text)
      put(character, utf8_of_code(static_cast<unsigned char>(code), character));
  }

  // " " and the count, as " %d" writes them.
  void put_count(int count) {
    char text[kCountCharacters];
    text[0] = ' ';
    const std::to_chars_result end = std::to_chars(text + 1, text + kCountCharacters, count);
    put(text, end.ptr - text);
  }

  const sorter_state& state_;
  std::FILE* file_;
  char* block_;
  std::size_t used_ = 0;
  bool written_ = true;
};

}  // namespace

bool write_list(const sorter_state& state, std::FILE* file) {
  const entry_order order =
      state.by_frequency ? entry_order::by_falling_count : entry_order::by_text;
  list_writer writer(state, file);
  return for_each_entry(
             state.chain_table, [&writer](const walked_entry& entry) { return writer.add(entry); },
             order) &&
         writer.flush() && !std::ferror(file);
}

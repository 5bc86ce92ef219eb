#include "sorter/output_pass.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "sorter/sorter_state.hpp"
#include "test_support/streams.hpp"

namespace {

// A state holding the entries of `lines` (each counted as the input phase
// counts it).
void fill(sorter_state& state, const char* const* lines, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    ++state.entry_count;
    make_entry(state, lines[i]);
  }
}

std::string written(const sorter_state& state, bool* result = nullptr) {
  captured_output file;
  const bool ok = write_list(state, file.file());
  if (result != nullptr) *result = ok;
  return file.text();
}

constexpr const char* kLines[] = {"beta", "alpha", "gamma", "beta", "alpha",
                                  "beta", "delta", "\xe4",  "alp"};

class output_pass_test : public ::testing::Test {
 protected:
  void SetUp() override { fill(state, kLines, std::size(kLines)); }
  sorter_state state;
};

TEST_F(output_pass_test, WritesByteOrder) {
  EXPECT_EQ(written(state), "alp\nalpha\nbeta\ndelta\ngamma\n\xe4\n");
}

TEST_F(output_pass_test, WritesByteOrderWithCounts) {
  state.with_frequencies = true;
  EXPECT_EQ(written(state), "alp 1\nalpha 2\nbeta 3\ndelta 1\ngamma 1\n\xe4 1\n");
}

TEST_F(output_pass_test, WritesFallingCountsEachGroupInByteOrder) {
  state.by_frequency = true;
  EXPECT_EQ(written(state), "beta\nalpha\nalp\ndelta\ngamma\n\xe4\n");
  state.with_frequencies = true;
  EXPECT_EQ(written(state), "beta 3\nalpha 2\nalp 1\ndelta 1\ngamma 1\n\xe4 1\n");
}

TEST(output_pass, WritesEveryEntryByFrequencyWhenNoneRepeats) {
  sorter_state state;
  constexpr const char* kOnce[] = {"b", "a"};
  fill(state, kOnce, std::size(kOnce));
  state.by_frequency = true;
  EXPECT_EQ(written(state), "a\nb\n");
}

TEST(output_pass, WritesNothingForAnEmptyStore) {
  sorter_state state;
  state.by_frequency = true;
  bool ok = false;
  EXPECT_EQ(written(state, &ok), "");
  EXPECT_TRUE(ok);
}

// A stream that takes writes while they fit in `room` bytes and refuses
// every write from the first one that does not fit (the C library may try
// again byte by byte). Unbuffered, so each write is tried at once.
struct limited_sink {
  std::string taken;
  std::size_t room;
  bool full = false;
};

owned_file limited_stream(limited_sink& sink) {
  cookie_io_functions_t functions{};
  functions.write = [](void* cookie, const char* data, std::size_t size) -> ssize_t {
    auto* limited = static_cast<limited_sink*>(cookie);
    limited->full = limited->full || limited->taken.size() + size > limited->room;
    if (limited->full) return -1;
    limited->taken.append(data, size);
    return static_cast<ssize_t>(size);
  };
  owned_file file(fopencookie(&sink, "w", functions));
  std::setvbuf(file.get(), nullptr, _IONBF, 0);
  return file;
}

TEST_F(output_pass_test, FailsWhenAnyByteCannotBeWritten) {
  state.with_frequencies = true;
  const std::size_t whole = written(state).size();
  for (const std::size_t room : {std::size_t{0}, std::size_t{3}, whole - 1}) {
    limited_sink sink{{}, room};
    {
      const owned_file file = limited_stream(sink);
      EXPECT_FALSE(write_list(state, file.get())) << room;
    }
    EXPECT_LT(sink.taken.size(), whole);
  }
  limited_sink sink{{}, whole};
  const owned_file file = limited_stream(sink);
  EXPECT_TRUE(write_list(state, file.get()));
  EXPECT_EQ(sink.taken, "alp 1\nalpha 2\nbeta 3\ndelta 1\ngamma 1\n\xe4 1\n");
}

// A list longer than a block reaches the file in several writes.
TEST(output_pass, WritesAListOfManyBlocksWhole) {
  sorter_state state;
  std::string expected;
  for (int i = 0; i < 20000; ++i) {
    const std::string text = "w" + std::to_string(100000 + i);
    ++state.entry_count;
    make_entry(state, text);
    expected += text + "\n";
  }
  ASSERT_GT(expected.size(), 2 * kOutputBufferBytes);
  EXPECT_EQ(written(state), expected);
}

// With UTF-8 lists the 7-bit codes come back as the letters they stand
// for, and bytes from 0x80 up as the ISO-8859-1 characters they were.
TEST(output_pass, WritesTheTextsOfUtf8ListsInUtf8) {
  sorter_state state;
  constexpr const char* kTexts[] = {"B{r", "STRA^E", "[PFEL", "\xe9t\xe9", "a~b|c}", "\\L"};
  fill(state, kTexts, std::size(kTexts));
  state.utf8_input = true;
  state.with_frequencies = true;
  EXPECT_EQ(written(state),
            "B\xc3\xa4r 1\nSTRA\xe1\xba\x9e" "E 1\n\xc3\x84PFEL 1\n\xc3\x96L 1\n"
            "a\xc3\x9f" "b\xc3\xb6" "c\xc3\xbc 1\n\xc3\xa9t\xc3\xa9 1\n");
}

}  // namespace

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

TEST_F(output_pass_test, StopsAtTheFirstFailingWrite) {
  limited_sink sink{{}, std::strlen("alp\nalpha\nbe")};
  const owned_file file = limited_stream(sink);
  EXPECT_FALSE(write_list(state, file.get()));
  EXPECT_EQ(sink.taken, "alp\nalpha\n");
}

TEST_F(output_pass_test, NoticesAFailingCountOrLineFeed) {
  state.with_frequencies = true;
  for (const char* fits : {"alp", "alp 1"}) {
    limited_sink sink{{}, std::strlen(fits)};
    {
      const owned_file file = limited_stream(sink);
      EXPECT_FALSE(write_list(state, file.get())) << fits;
    }
    EXPECT_EQ(sink.taken, fits);
  }
}

}  // namespace

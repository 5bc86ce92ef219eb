// Running out of memory anywhere in a run: every allocation of this test
// program goes through an allocator that can be told to fail from the n-th
// allocation on. For allocation points spread over a whole run of the bundled
// example (start-up, every sentence, every kind of output), the run must end
// with a framed text and exit status 1: the message of the routine that
// needed the memory, or "Ende" when the run needed no more than it got.
// Never an abort, never a crash.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "analyser/driver/analyser_run.hpp"
#include "test_support/streams.hpp"

namespace {
// Allocations still granted; negative: no limit. Once it reaches zero every
// further allocation fails, as memory stays exhausted. Threads of a run
// allocate at once, so the counts are atomic.
std::atomic<long> allocations_left = -1;
std::atomic<long> allocations_made = 0;

void* allocate(std::size_t size) {
  long left = allocations_left.load();
  while (left > 0 && !allocations_left.compare_exchange_weak(left, left - 1)) {
  }
  if (left == 0) throw std::bad_alloc();
  ++allocations_made;
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {
// Every allocation point; under the address sanitizer, which makes a run
// some twenty times slower, every fifth.
#if defined(__SANITIZE_ADDRESS__)
constexpr long kStride = 5;
#else
constexpr long kStride = 1;
#endif

const std::set<std::string> kMemoryTexts = {
    "initialize_everything: malloc Fehler", "Message file",
    "store_rule: malloc Fehler",            "put_category: malloc Fehler",
    "put_scv: malloc Fehler",               "put_condition: malloc Fehler",
    "read_dict: malloc Fehler",             "keep_node: malloc Fehler",
    "make_node: malloc Fehler",             "parse_sentence: malloc Fehler",
    "print_results: malloc Fehler",         "malloc Fehler",
    "count_analyses: malloc Fehler",        "read_sentence: malloc Fehler",
    "json_record: malloc Fehler",           "run_test_suite: malloc Fehler",
    "rules_of_analyses: malloc Fehler",
};

struct run_end {
  int status;
  std::string text;  // the framed text the output ends with, or what it ends with
};

// The command line of a run of the example with every output on.
const std::vector<std::string> kEveryOutput = {"Mirask", "-c", "mirask.cfg", "-i", "saetze.txt",
                                               "-tree", "-subcat", "-count", "-why"};

// One run of the example with the command line `words`, allowed `allowed`
// allocations (negative: no limit).
run_end run_example(long allowed, const std::vector<std::string>& words = kEveryOutput) {
  std::vector<char*> argv;
  for (const std::string& w : words) argv.push_back(const_cast<char*>(w.c_str()));
  captured_output out;
  int status;
  {
    analyser_state state;
    state.out = out.file();
    allocations_made = 0;
    allocations_left = allowed;
    status = run_analyser(state, static_cast<int>(argv.size()), argv.data());
    allocations_left = -1;
  }
  std::string text = out.text();
  const std::string frame_start = "\n\t\t------ ";
  const std::string frame_end = " ------\n";
  const std::size_t start = text.rfind(frame_start);
  if (start == std::string::npos || !text.ends_with(frame_end)) return {status, text};
  text.resize(text.size() - frame_end.size());
  text.erase(0, start + frame_start.size());
  return {status, text};
}

TEST(MemoryExhaustion, EveryAllocationPointEndsWithAFramedText) {
  const char* examples = MIRASK_EXAMPLES_DIR;
  ASSERT_EQ(chdir(examples), 0);
  const run_end whole = run_example(-1);
  ASSERT_EQ(whole.text, "Ende");
  const long needed = allocations_made;
  ASSERT_GT(needed, 100);
  std::set<std::string> seen;
  for (long n = 0; n <= needed; n += kStride) {
    const run_end end = run_example(n);
    // The added options give the normal end status 0, every fatal one 1.
    ASSERT_EQ(end.status, end.text == "Ende" ? 0 : 1) << "failing from allocation " << n;
    ASSERT_TRUE(kMemoryTexts.count(end.text) == 1 || end.text == "Ende")
        << "failing from allocation " << n << " of " << needed << " ends with: " << end.text;
    seen.insert(end.text);
  }
  // The start-up, the parse and the output all ran out somewhere.
  EXPECT_TRUE(seen.count("read_dict: malloc Fehler")) << seen.size();
  EXPECT_TRUE(seen.count("keep_node: malloc Fehler"));
  EXPECT_TRUE(seen.count("print_results: malloc Fehler"));
}

std::string last_line(const std::string& text) {
  const std::size_t end = text.ends_with('\n') ? text.size() - 1 : text.size();
  const std::size_t start = text.rfind('\n', end == 0 ? 0 : end - 1);
  return text.substr(start == std::string::npos ? 0 : start + 1);
}

// Runs on threads: a fatal end met by a thread, by the reader or by the
// thread that writes comes out as on one thread, framed, with status 1.
TEST(MemoryExhaustion, RunsOnThreadsEndWithAFramedText) {
  ASSERT_EQ(chdir(MIRASK_EXAMPLES_DIR), 0);
  const std::vector<std::vector<std::string>> runs = {
      {"Mirask", "-c", "mirask.cfg", "-i", "saetze.txt", "-utf8", "-threads", "2"},
      {"Mirask", "-c", "mirask.cfg", "-test", "saetze.suite", "-threads", "2"},
  };
  for (const std::vector<std::string>& words : runs) {
    const run_end whole = run_example(-1, words);
    ASSERT_EQ(whole.status, 0) << words[3];
    const long needed = allocations_made;
    // Some hundred points spread over the run.
    const long stride = std::max(1L, needed / 200);
    for (long n = 0; n <= needed; n += stride) {
      const run_end end = run_example(n, words);
      // Memory enough: the run's last line (a suite's times differ from run to run).
      if (end.status == 0 && last_line(end.text) == last_line(whole.text)) continue;
      ASSERT_EQ(end.status, 1) << words[3] << " failing from allocation " << n;
      ASSERT_TRUE(kMemoryTexts.count(end.text) == 1)
          << words[3] << " failing from allocation " << n << " of " << needed
          << " ends with: " << end.text;
    }
  }
}
}  // namespace

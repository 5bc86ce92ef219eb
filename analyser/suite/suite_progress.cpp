#include "analyser/suite/suite_progress.hpp"

#include <sys/stat.h>

#include <string>

#include "analyser/base/file_input.hpp"
#include "analyser/suite/suite_reader.hpp"

namespace {
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);
}  // namespace

void suite_progress::draw() {
  std::fputc('\r', out_);
  const int width =
      total_ >= 0 ? std::fprintf(out_, "%ld of %ld items, %ld failing", done_, total_, failing_)
                  : std::fprintf(out_, "%ld items, %ld failing", done_, failing_);
  // Blanks over what is left of a longer line drawn before.
  if (width < width_) std::fprintf(out_, "%*s", width_ - width, "");
  width_ = width > width_ ? width : width_;
  std::fflush(out_);
  drawn_ = true;
}

void suite_progress::item_done(long failing) {
  ++done_;
  failing_ = failing;
  if (!shown_) return;
  const auto now = std::chrono::steady_clock::now();
  if (drawn_ && now - last_ < kRedrawInterval) return;
  last_ = now;
  draw();
}

void suite_progress::clear() {
  if (!shown_ || !drawn_) return;
  std::fprintf(out_, "\r%*s\r", width_, "");
  std::fflush(out_);
  drawn_ = false;
}

void suite_progress::finish() {
  if (!shown_) return;
  draw();
  std::fputc('\n', out_);
  std::fflush(out_);
}

long count_suite_items(std::FILE* file) {
  struct stat status {};
  if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode)) return -1;
  // A position ftell cannot tell fails the fseek back to it below.
  const long start = std::ftell(file);
  std::string line;
  long items = 0;
  while (read_line(file, line)) {
    remove_line_end(line);
    if (!is_skipped_line(line)) ++items;
  }
  std::clearerr(file);
  return std::fseek(file, start, SEEK_SET) == 0 ? items : -1;
}

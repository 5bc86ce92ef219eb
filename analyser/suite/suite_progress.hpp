// The progress line of a running suite on a terminal: "\r12 of 45 items, 1
// failing" (without " of N" when the number of items is not known), redrawn
// at most ten times a second and ended with a line feed. Shown only when
// asked for (standard error is a terminal).
#pragma once

#include <chrono>
#include <cstdio>

class suite_progress {
 public:
  // `total` < 0: the number of items is not known.
  suite_progress(std::FILE* out, bool shown, long total)
      : out_(out), shown_(shown), total_(total) {}

  // One more item is done; `failing` so far.
  void item_done(long failing);
  // Removes the line, so a report line can be written in its place; the
  // next item_done draws it again.
  void clear();
  // Draws the last state and ends the line.
  void finish();

 private:
  void draw();

  std::FILE* out_;
  bool shown_;
  long total_;
  long done_ = 0;
  long failing_ = 0;
  int width_ = 0;  // characters of the line drawn last
  bool drawn_ = false;
  std::chrono::steady_clock::time_point last_{};
};

// The number of items of the suite `file` when it can be counted ahead (a
// regular file, which is read once and rewound), else -1.
long count_suite_items(std::FILE* file);

// A writer turns sentence analyses into one kind of output: the specified
// printout, a machine-readable record, a test verdict. The driver reads the
// sentences, has them analysed and hands each writer what it needs, in this
// order for every sentence: sentence_read, then sentence_analysed.
#pragma once

#include "analyser/grammar/sentence_analysis.hpp"

class result_writer {
 public:
  virtual ~result_writer() = default;
  // Sentence `number` has been read and is about to be analysed.
  virtual void sentence_read(int number, const unsigned char* sentence) {
    (void)number;
    (void)sentence;
  }
  // Its analysis is complete; `analysis` is valid during the call only.
  virtual void sentence_analysed(const sentence_analysis& analysis) = 0;
  // The input has ended; nothing follows.
  virtual void input_ended() {}
};

// A batch run on several threads (-threads N with an input file): the main
// thread reads the sentences in order, each thread analyses them with an
// analyser and nodes of its own (the grammar is shared, only read) and
// renders a sentence's whole output, messages and trace lines included,
// into memory; the main thread writes those texts in the input's order.
// The output is byte for byte that of one thread.
#pragma once

#include <cstdio>

#include "analyser/driver/analyser_state.hpp"

// The most threads a batch run starts.
constexpr long kMostBatchThreads = 256;

// The threads a batch run (an input file, a test suite) analyses on: one
// without -threads, N for -threads N, one per core for -threads 0. Console
// input stays on one thread: it waits for the user after every sentence.
int batch_threads(const added_settings& added);

// Analyses and writes every sentence of `stream` as sentence_loop does with
// one thread, on `threads` threads. A fatal end of a sentence comes after
// the output of every sentence before it and the part of its own written
// before the end, as with one thread.
void parallel_sentence_loop(analyser_state& state, FILE* stream, int threads);

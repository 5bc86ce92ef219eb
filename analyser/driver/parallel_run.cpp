#include "analyser/driver/parallel_run.hpp"

#include <algorithm>
#include <exception>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "analyser/base/memory_output.hpp"
#include "analyser/base/ordered_pipeline.hpp"
#include "analyser/driver/analyser_run.hpp"
#include "analyser/driver/sentence_reader.hpp"

namespace {
// A line read, copied out of the reader's buffers, with what the reader
// wrote while reading it (the notice of an unreadable line).
struct line_job {
  input_line kind = input_line::sentence;
  int number = 0;
  std::string sentence;  // with its closing zero byte
  std::string as_read;
  std::string problem;
  std::string told;
};

// Lines handed to a thread at once, so that handing them on costs little
// beside their analysis: from a file, enough that the threads seldom wait
// for each other (a block of 32 lines of -penn is gone in some 80 µs); from
// a pipe, few, since a line's output waits for the block behind it.
using line_block = std::vector<line_job>;
constexpr std::size_t kLinesPerFileBlock = 256;
constexpr std::size_t kLinesPerPipeBlock = 32;

// A block's output, and the fatal end it met (null: none).
struct block_output {
  std::string out;
  std::string results;
  std::exception_ptr failure;
};

// One thread's analyser, nodes and writer, writing into memory.
struct worker_tools {
  explicit worker_tools(const analyser_state& state) : analyser(state.loaded) {
    nodes.limit = state.nodes.limit;
    log = state.log();
    log.out = out.file();
    // Where the run writes both to one stream, so does the thread.
    std::FILE* results_file = state.results == state.out ? out.file() : results.file();
    writer = writer_of(state, out.file(), results_file);
  }

  sentence_analyser analyser;
  node_list nodes;
  memory_output out;
  memory_output results;
  log_output log;  // taken once: the main thread changes state.out while it reads
  std::unique_ptr<result_writer> writer;
};

line_job job_of(const analyser_state& state, input_line kind, std::string told) {
  const line_read line = last_line_read(state, kind);
  line_job job{
      kind, line.number, {}, std::string(line.as_read), std::string(line.problem), std::move(told)};
  if (line.sentence != nullptr) {
    const auto* bytes = reinterpret_cast<const char*>(line.sentence);
    job.sentence.assign(bytes, std::char_traits<char>::length(bytes) + 1);
  }
  return job;
}

// Analyses the lines of `block` one after the other into the tools'
// memory, each behind what the reader told while reading it; a fatal end
// stops the block there.
block_output analyse_block(const analyser_state& state, worker_tools& tools, line_block& block) {
  sentence_tools used{tools.analyser, tools.nodes, tools.log, *tools.writer};
  block_output output;
  try {
    for (const line_job& job : block) {
      std::fwrite(job.told.data(), 1, job.told.size(), tools.log.out);
      const line_read line{job.kind, job.number,
                           reinterpret_cast<const unsigned char*>(job.sentence.data()), job.as_read,
                           job.problem};
      analyse_line(state, used, line);
    }
  } catch (...) {
    output.failure = std::current_exception();
  }
  output.out = tools.out.take();
  output.results = tools.results.take();
  return output;
}

void write_text(std::FILE* out, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), out);
}

void write_output(const analyser_state& state, const block_output& output) {
  write_text(state.out, output.out);
  write_text(state.results, output.results);
  if (output.failure) std::rethrow_exception(output.failure);
}

using line_pipeline = ordered_pipeline<line_block, block_output>;

// Reads the next line with the reader's notices kept in `told`. A fatal end
// of the reading comes after the lines read before and what it wrote.
input_line read_line_told(analyser_state& state, FILE* stream, memory_output& told,
                          line_pipeline& pipeline, line_block& block) {
  std::FILE* const out = state.out;
  state.out = told.file();
  try {
    const input_line kind =
        read_input_line(state, stream, state.sentence_buffer, kSentenceCapacity);
    state.out = out;
    return kind;
  } catch (...) {
    state.out = out;
    pipeline.push(std::move(block));
    pipeline.finish();
    write_text(out, told.take());
    throw;
  }
}
}  // namespace

int batch_threads(const added_settings& added) {
  if (added.threads < 0) return 1;
  if (added.threads > 0) return static_cast<int>(added.threads);
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

void parallel_sentence_loop(analyser_state& state, FILE* stream, int threads) {
  std::vector<std::unique_ptr<worker_tools>> workers;
  for (int k = 0; k < threads; ++k) workers.push_back(std::make_unique<worker_tools>(state));
  const auto work = [&](std::size_t worker, line_block& block) {
    return analyse_block(state, *workers[worker], block);
  };
  const auto deliver = [&](block_output& output) { write_output(state, output); };
  const auto count = static_cast<std::size_t>(threads);
  line_pipeline pipeline(count, kJobsPerWorker * count, work, deliver);
  memory_output told;
  line_block block;
  const std::size_t lines_per_block =
      is_regular_file(stream) ? kLinesPerFileBlock : kLinesPerPipeBlock;
  for (;;) {
    const input_line kind = read_line_told(state, stream, told, pipeline, block);
    if (kind == input_line::text_ended || kind == input_line::input_ended) break;
    block.push_back(job_of(state, kind, told.take()));
    if (block.size() == lines_per_block) pipeline.push(std::exchange(block, {}));
  }
  if (!block.empty()) pipeline.push(std::move(block));
  pipeline.finish();
  write_text(state.out, told.take());
}

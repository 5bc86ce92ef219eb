#include "analyser/driver/parallel_run.hpp"

#include <algorithm>
#include <exception>
#include <memory>
#include <string>
#include <thread>
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

// A line's output, and the fatal end it met (null: none).
struct line_output {
  std::string told;
  std::string out;
  std::string results;
  std::exception_ptr failure;
};

// One thread's analyser, nodes and writer, writing into memory.
struct worker_tools {
  explicit worker_tools(const analyser_state& state) : analyser(state.loaded) {
    nodes.limit = state.nodes.limit;
    // Where the run writes both to one stream, so does the thread.
    std::FILE* results_file = state.results == state.out ? out.file() : results.file();
    writer = writer_of(state, out.file(), results_file);
  }

  sentence_analyser analyser;
  node_list nodes;
  memory_output out;
  memory_output results;
  std::unique_ptr<result_writer> writer;
};

line_job job_of(const analyser_state& state, input_line kind, std::string told) {
  const line_read line = last_line_read(state, kind);
  line_job job{kind, line.number, {}, std::string(line.as_read), std::string(line.problem),
               std::move(told)};
  if (line.sentence != nullptr) {
    const auto* bytes = reinterpret_cast<const char*>(line.sentence);
    job.sentence.assign(bytes, std::char_traits<char>::length(bytes) + 1);
  }
  return job;
}

line_output analyse_job(const analyser_state& state, worker_tools& tools, line_job& job) {
  log_output log = state.log();
  log.out = tools.out.file();
  sentence_tools used{tools.analyser, tools.nodes, log, *tools.writer};
  const line_read line{job.kind, job.number,
                       reinterpret_cast<const unsigned char*>(job.sentence.data()), job.as_read,
                       job.problem};
  line_output output;
  try {
    analyse_line(state, used, line);
  } catch (...) {
    output.failure = std::current_exception();
  }
  output.told = std::move(job.told);
  output.out = tools.out.take();
  output.results = tools.results.take();
  return output;
}

void write_text(std::FILE* out, const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), out);
}

void write_output(const analyser_state& state, const line_output& output) {
  write_text(state.out, output.told);
  write_text(state.out, output.out);
  write_text(state.results, output.results);
  if (output.failure) std::rethrow_exception(output.failure);
}

using line_pipeline = ordered_pipeline<line_job, line_output>;

// Reads the next line with the reader's notices kept in `told`. A fatal end
// of the reading comes after the lines in flight and what it wrote.
input_line read_line_told(analyser_state& state, FILE* stream, memory_output& told,
                          line_pipeline& pipeline) {
  std::FILE* const out = state.out;
  state.out = told.file();
  try {
    const input_line kind = read_input_line(state, stream, state.sentence_buffer, kSentenceCapacity);
    state.out = out;
    return kind;
  } catch (...) {
    state.out = out;
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
  const auto work = [&](std::size_t worker, line_job& job) {
    return analyse_job(state, *workers[worker], job);
  };
  const auto deliver = [&](line_output& output) { write_output(state, output); };
  const auto count = static_cast<std::size_t>(threads);
  line_pipeline pipeline(count, kJobsPerWorker * count, work, deliver);
  memory_output told;
  for (;;) {
    const input_line kind = read_line_told(state, stream, told, pipeline);
    if (kind == input_line::text_ended || kind == input_line::input_ended) break;
    pipeline.push(job_of(state, kind, told.take()));
  }
  pipeline.finish();
  write_text(state.out, told.take());
}

#include "analyser/driver/sentence_reader.hpp"

#include <sys/stat.h>

#include <cstring>
#include <string>

#include "analyser/base/fatal_error.hpp"
#include "analyser/base/file_input.hpp"
#include "analyser/base/sentence_text.hpp"
#include "analyser/base/text_utils.hpp"
#include "analyser/base/utf8_text.hpp"

namespace {
// The bytes of the input as a stream gives them. Only the thread that
// reads the sentences reads the input, so a byte costs no lock even while
// other threads analyse.
struct stream_bytes {
  FILE* stream;
  int get() { return getc_unlocked(stream); }
  void unget(int c) { std::ungetc(c, stream); }
};

// The bytes of a line decoded from UTF-8, from position `at` on.
struct decoded_bytes {
  const std::string& line;
  std::size_t& at;
  int get() { return at < line.size() ? static_cast<unsigned char>(line[at++]) : EOF; }
  void unget(int) { --at; }
};

// After a full piece, takes the line end that follows it (LF, or CR LF) as
// the end of that piece, so it never comes back as an empty line. True when
// the piece's line ended there (at a line end or at the end of the input).
template <typename Bytes>
bool take_line_end(Bytes& bytes) {
  int c = bytes.get();
  if (c == '\r') c = bytes.get();
  if (c == '\n' || c == EOF) return true;
  bytes.unget(c);
  return false;
}

// Reads up to `capacity` bytes, stopping behind an LF; returns the number
// read, or -1 when there was nothing left. `line_ended` tells whether the
// piece's line ended with it.
template <typename Bytes>
int read_piece(Bytes& bytes, unsigned char* buffer, int capacity, bool& line_ended) {
  int length = 0;
  int c = 0;
  line_ended = true;
  while (length < capacity && (c = bytes.get()) != EOF) {
    buffer[length++] = static_cast<unsigned char>(c);
    if (c == '\n') return length;
  }
  if (length == capacity) line_ended = take_line_end(bytes);
  return length > 0 ? length : -1;
}

// The name of the input in messages.
std::string input_name(const analyser_state& state, FILE* stream) {
  return stream == state.console ? "console" : state.input_file_name;
}

// Under -utf8: makes sure a decoded line with bytes left is pending, reading
// the next line when none is. An unreadable line is told and kept in
// state.reading.
input_line decoded_line_pending(analyser_state& state, FILE* stream) {
  sentence_reading& r = state.reading;
  if (r.at < r.decoded.size()) return input_line::sentence;
  std::string raw;
  utf8_fault fault;
  if (!read_line(stream, raw)) {
    r.decoded.clear();
    return input_line::input_ended;
  }
  ++r.line_number;
  r.at = 0;
  if (from_utf8(raw, r.decoded, fault)) return input_line::sentence;
  r.decoded.clear();
  remove_line_end(raw);
  r.unreadable_text = raw;
  r.problem = utf8_fault_problem(fault);
  if (state.results != state.out) std::fflush(state.results);  // the results before it first
  std::fprintf(state.out, "%s; sentence skipped\n",
               utf8_fault_text(input_name(state, stream), r.line_number, fault).c_str());
  return input_line::unreadable;
}

// The next piece of the input, from the stream or under -utf8 from the
// decoded line: its length, or -1 with what ended the reading in `met`.
int next_piece(analyser_state& state, FILE* stream, unsigned char* buffer, int capacity,
               input_line& met) {
  sentence_reading& r = state.reading;
  bool line_ended = true;
  met = input_line::input_ended;
  if (!state.added.utf8) {
    if (!r.mid_line) ++r.line_number;
    stream_bytes bytes{stream};
    const int length = read_piece(bytes, buffer, capacity, line_ended);
    r.mid_line = !line_ended;
    return length;
  }
  return needing_memory("read_sentence: malloc Fehler", [&] {
    met = decoded_line_pending(state, stream);
    if (met != input_line::sentence) return -1;
    decoded_bytes bytes{r.decoded, r.at};
    return read_piece(bytes, buffer, capacity, line_ended);
  });
}

// Keeps the piece as read, without its line end (LF or CR LF).
void keep_as_read(analyser_state& state, const unsigned char* piece, int length) {
  if (length > 0 && piece[length - 1] == '\n') --length;
  if (length > 0 && piece[length - 1] == '\r') --length;
  if (length > kSentenceCapacity) length = kSentenceCapacity;
  std::memcpy(state.line_as_read, piece, length);
  state.line_as_read_length = length;
}

// What is left of the input: its lines, and whether any of them holds text
// (a byte of 32 or above). A last line without a line end counts.
struct input_rest {
  long lines = 0;
  bool text = false;
};

void count_rest(input_rest& rest, const unsigned char* bytes, std::size_t length,
                bool& in_line) {
  for (std::size_t i = 0; i < length; ++i) {
    if (!in_line) ++rest.lines;
    in_line = bytes[i] != '\n';
    if (bytes[i] >= kFirstVisible) rest.text = true;
  }
}

input_rest rest_of(const sentence_reading& r, FILE* stream) {
  input_rest rest;
  bool in_line = false;
  if (r.at < r.decoded.size()) {
    count_rest(rest, byte_data(r.decoded) + r.at, r.decoded.size() - r.at, in_line);
  }
  constexpr std::size_t kBlock = 1 << 16;
  std::string block(kBlock, '\0');
  auto* bytes = reinterpret_cast<unsigned char*>(block.data());
  for (std::size_t got; (got = std::fread(bytes, 1, kBlock, stream)) > 0;) {
    count_rest(rest, bytes, got, in_line);
  }
  return rest;
}

}  // namespace

// True for a stream over a regular file: reading it to its end cannot wait.
bool is_regular_file(FILE* stream) {
  struct stat status {};
  const int descriptor = fileno(stream);
  return descriptor >= 0 && fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
}
input_line read_input_line(analyser_state& state, FILE* stream, unsigned char* buffer, int size) {
  std::memset(buffer, 0, size);
  sentence_reading& r = state.reading;
  if (stream == state.console && !r.skip_prompt) {
    show_message(state.loaded.messages, state.out, kMessageSentencePrompt, state.added.utf8);
    std::fflush(state.out);
  }
  input_line met = input_line::sentence;
  const int length = next_piece(state, stream, buffer, size - 1, met);
  r.skip_prompt = met == input_line::unreadable;
  if (met == input_line::unreadable) ++state.unreadable_lines;
  if (length < 0) return met;
  keep_as_read(state, buffer, length);
  if (!make_sentence(buffer, length, state.loaded.sentence_end_chars,
                     letter_case_of(state.added.utf8))) {
    r.ended_at_line = true;
    return input_line::text_ended;
  }
  ++state.sentence_count;
  return input_line::sentence;
}

unsigned char* read_sentence(analyser_state& state, FILE* stream, unsigned char* buffer, int size) {
  for (;;) {
    switch (read_input_line(state, stream, buffer, size)) {
      case input_line::sentence:
        return buffer;
      case input_line::unreadable:
        continue;
      case input_line::text_ended:
      case input_line::input_ended:
        return nullptr;
    }
  }
}

void report_unread_lines(analyser_state& state, FILE* stream) {
  const sentence_reading& r = state.reading;
  if (!r.ended_at_line || stream == state.console || !is_regular_file(stream)) return;
  const input_rest rest = needing_memory("read_sentence: malloc Fehler",
                                         [&] { return rest_of(r, stream); });
  if (!rest.text) return;
  std::fprintf(state.errors,
               "%s:%ld: the input ends here at a line without text; %ld line%s after it %s not "
               "read\n",
               input_name(state, stream).c_str(), r.line_number, rest.lines,
               rest.lines == 1 ? "" : "s", rest.lines == 1 ? "was" : "were");
  std::fflush(state.errors);
}

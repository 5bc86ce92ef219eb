#include "analyser/driver/sentence_reader.hpp"

#include <cstring>
#include <string>

#include "analyser/base/fatal_error.hpp"
#include "analyser/base/file_input.hpp"
#include "analyser/base/sentence_text.hpp"
#include "analyser/base/text_utils.hpp"
#include "analyser/base/utf8_text.hpp"

namespace {
// The bytes of the input as a stream gives them.
struct stream_bytes {
  FILE* stream;
  int get() { return std::getc(stream); }
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
// the end of that piece, so it never comes back as an empty line.
template <typename Bytes>
void take_line_end(Bytes& bytes) {
  int c = bytes.get();
  if (c == '\r') c = bytes.get();
  if (c != '\n' && c != EOF) bytes.unget(c);
}

// Reads up to `capacity` bytes, stopping behind an LF; returns the number
// read, or -1 when there was nothing left.
template <typename Bytes>
int read_piece(Bytes& bytes, unsigned char* buffer, int capacity) {
  int length = 0;
  int c = 0;
  while (length < capacity && (c = bytes.get()) != EOF) {
    buffer[length++] = static_cast<unsigned char>(c);
    if (c == '\n') return length;
  }
  if (length == capacity) take_line_end(bytes);
  return length > 0 ? length : -1;
}

// Makes sure a decoded line with bytes left is pending: reads lines until
// one is UTF-8 the convention can hold, telling the user of every other one
// ("FILE:LINE:COLUMN: REASON: bytes XX; sentence skipped"). False at the end
// of the input.
bool decoded_line_pending(analyser_state& state, FILE* stream) {
  sentence_reading& r = state.reading;
  if (r.at < r.decoded.size()) return true;
  std::string raw;
  utf8_fault fault;
  while (read_line(stream, raw)) {
    ++r.line_number;
    r.at = 0;
    if (from_utf8(raw, r.decoded, fault)) return true;
    const std::string name = stream == state.console ? "console" : state.input_file_name;
    std::fprintf(state.out, "%s; sentence skipped\n",
                 utf8_fault_text(name, r.line_number, fault).c_str());
  }
  r.decoded.clear();
  return false;
}

// The next piece of the input: from the stream, or under -utf8 from the
// decoded line.
int next_piece(analyser_state& state, FILE* stream, unsigned char* buffer, int capacity) {
  if (!state.added.utf8) {
    stream_bytes bytes{stream};
    return read_piece(bytes, buffer, capacity);
  }
  return needing_memory("read_sentence: malloc Fehler", [&] {
    if (!decoded_line_pending(state, stream)) return -1;
    decoded_bytes bytes{state.reading.decoded, state.reading.at};
    return read_piece(bytes, buffer, capacity);
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
}  // namespace

unsigned char* read_sentence(analyser_state& state, FILE* stream, unsigned char* buffer, int size) {
  std::memset(buffer, 0, size);
  if (stream == state.console) {
    show_message(state.loaded.messages, state.out, kMessageSentencePrompt, state.added.utf8);
    std::fflush(state.out);
  }
  const int length = next_piece(state, stream, buffer, size - 1);
  if (length < 0) return nullptr;
  keep_as_read(state, buffer, length);
  if (!make_sentence(buffer, length, state.loaded.sentence_end_chars)) return nullptr;
  ++state.sentence_count;
  return buffer;
}

#include "analyser/driver/sentence_reader.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "analyser/base/file_input.hpp"
#include "analyser/library/message_file.hpp"
#include "test_support/streams.hpp"

namespace {
struct SentenceReader : ::testing::Test {
  captured_output out;
  analyser_state state;

  SentenceReader() {
    state.out = out.file();
    const unsigned char delimiters[] = {'.', '!', 'q', 0};
    std::copy(std::begin(delimiters), std::end(delimiters), state.loaded.sentence_end_chars);
  }

  // Makes `text` the console, with message 7 "Satz?" as its prompt.
  void use_console(const std::string& text) {
    memory_input messages("7 Satz?\n");
    ASSERT_TRUE(read_message_file(state.loaded.messages, messages.file(), state.log()));
    console.emplace(text);
    state.console = console->file();
  }
  std::optional<memory_input> console;

  // Every sentence of `input` read from a file, in order.
  std::vector<std::string> sentences(const std::string& input) {
    memory_input file(input);
    std::vector<std::string> result;
    while (const unsigned char* s =
               read_sentence(state, file.file(), state.sentence_buffer, kSentenceCapacity)) {
      result.emplace_back(reinterpret_cast<const char*>(s));
    }
    return result;
  }
};

using sentence_texts = std::vector<std::string>;

TEST_F(SentenceReader, CutsUpcasesAndClosesWithABlank) {
  struct row {
    const char* input;
    sentence_texts expected;
  };
  const std::vector<row> rows = {
      {"der mann\n", {"DER MANN "}},
      {"der mann. zweiter satz\n", {"DER MANN "}},  // the rest behind a delimiter is lost
      {".am anfang\n", {" "}},                      // a delimiter first: a lone blank
      {"...\n", {" "}},
      {"   \n", {"    "}},  // blanks only: a sentence without words
      {"a\tb\n", {"A "}},   // a tab ends the sentence
      {"a\rb\n", {"A "}},
      {"x{|}~y\n", {"X[\\]^Y "}},
      {"1,2;\xE4\x80\n", {"1,2;\xE4\x80 "}},
      {"Aquarium\n", {"A "}},  // delimiters are the bytes as read
      {"AQUARIUM\n", {"AQUARIUM "}},
      {"ohne ende", {"OHNE ENDE "}},  // last line without a line end
      {"eins\r\nzwei\r\n", {"EINS ", "ZWEI "}},
  };
  for (const row& row : rows) EXPECT_EQ(sentences(row.input), row.expected) << row.input;
}

TEST_F(SentenceReader, LineWithoutVisibleByteEndsTheInput) {
  EXPECT_EQ(sentences("eins\nzwei\n\ndrei\n"), (sentence_texts{"EINS ", "ZWEI "}));
  EXPECT_EQ(sentences("eins\n\t\r\ndrei\n"), (sentence_texts{"EINS "}));
  EXPECT_EQ(sentences("\neins\n"), sentence_texts{});
  EXPECT_EQ(sentences(""), sentence_texts{});
  EXPECT_EQ(state.sentence_count, 3);
}

TEST_F(SentenceReader, ZeroByteIsAControlCharacter) {
  EXPECT_EQ(sentences(std::string("ab\0cd\nx\n", 8)), (sentence_texts{"AB ", "X "}));
  EXPECT_EQ(sentences(std::string("\0\n", 2)), sentence_texts{});
}

TEST_F(SentenceReader, FullPieceAndItsLineEnd) {
  const std::string full(kSentenceCapacity - 1, 'a');
  const std::string upper(kSentenceCapacity - 1, 'A');
  // Exactly 399 characters: one sentence, and the lines behind it are still read.
  EXPECT_EQ(sentences(full + "\nnext\n"), (sentence_texts{upper + " ", "NEXT "}));
  EXPECT_EQ(sentences(full + "\r\nnext\n"), (sentence_texts{upper + " ", "NEXT "}));
  EXPECT_EQ(sentences(full), (sentence_texts{upper + " "}));
  // A CR behind a full piece goes with it, even when no LF follows.
  EXPECT_EQ(sentences(full + "\rnext\n"), (sentence_texts{upper + " ", "NEXT "}));
  // 398 characters and CR LF: the CR is the 399th byte, the LF ends the piece.
  const std::string short_line(kSentenceCapacity - 2, 'a');
  EXPECT_EQ(sentences(short_line + "\r\nnext\n"),
            (sentence_texts{std::string(kSentenceCapacity - 2, 'A') + " ", "NEXT "}));
  // 400 characters: a piece of 399 and one of 1.
  EXPECT_EQ(sentences(full + "b\nnext\n"), (sentence_texts{upper + " ", "B ", "NEXT "}));
}

TEST_F(SentenceReader, LongLinesComeInPieces) {
  const std::string line = std::string(kSentenceCapacity - 1, 'a') + std::string(51, 'b');
  const sentence_texts got = sentences(line + "\nnext\n");
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0], std::string(kSentenceCapacity - 1, 'A') + " ");
  EXPECT_EQ(got[1], std::string(51, 'B') + " ");
  EXPECT_EQ(got[2], "NEXT ");
  // Two full pieces and the line end behind the second.
  const std::string twice(2 * (kSentenceCapacity - 1), 'c');
  EXPECT_EQ(sentences(twice + "\nnext\n").size(), 3u);
}

TEST_F(SentenceReader, FileSentencesAreCountedWithoutPrompt) {
  sentences("der Mann\n.\n");
  EXPECT_EQ(out.text(), "");
  EXPECT_EQ(state.sentence_count, 2);
}

TEST_F(SentenceReader, ConsoleShowsThePromptAndNoEcho) {
  use_console("hallo\n\n");
  auto* first = read_sentence(state, state.console, state.sentence_buffer, kSentenceCapacity);
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(reinterpret_cast<const char*>(first), "HALLO ");
  EXPECT_EQ(read_sentence(state, state.console, state.sentence_buffer, kSentenceCapacity), nullptr);
  EXPECT_EQ(out.text(), "Satz?Satz?");
  EXPECT_EQ(state.sentence_count, 1);
}

TEST_F(SentenceReader, Utf8UpcasesTheLettersOfIso88591) {
  // As bytes, a letter of 0x80 and above stays; read from UTF-8 it is a letter.
  EXPECT_EQ(sentences("caf\xE9 \xFF\n"), (sentence_texts{"CAF\xE9 \xFF "}));
  state.added.utf8 = true;
  EXPECT_EQ(sentences("caf\xC3\xA9 \xC3\xBF \xC3\xB7 \xC3\xA4\n"),
            (sentence_texts{"CAF\xC9 \xFF \xF7 [ "}));
}

// What each read of `input` met, in order, up to the end.
std::vector<input_line> reads_of(analyser_state& state, FILE* file) {
  std::vector<input_line> met;
  for (;;) {
    met.push_back(read_input_line(state, file, state.sentence_buffer, kSentenceCapacity));
    if (met.back() == input_line::text_ended || met.back() == input_line::input_ended) return met;
  }
}

TEST_F(SentenceReader, UnreadableLinesAreHandedOutUnderUtf8) {
  state.added.utf8 = true;
  state.input_file_name = "in.txt";
  memory_input file("gut\nder \xE2\x82\xAC\r\nauch\n");
  EXPECT_EQ(read_input_line(state, file.file(), state.sentence_buffer, kSentenceCapacity),
            input_line::sentence);
  EXPECT_EQ(read_input_line(state, file.file(), state.sentence_buffer, kSentenceCapacity),
            input_line::unreadable);
  EXPECT_EQ(state.reading.unreadable_text, "der \xE2\x82\xAC");
  EXPECT_EQ(state.reading.problem, "column 5: character U+20AC has no 8-bit code: bytes E2 82 AC");
  EXPECT_EQ(reads_of(state, file.file()),
            (std::vector<input_line>{input_line::sentence, input_line::input_ended}));
  EXPECT_EQ(state.sentence_count, 2);
  EXPECT_EQ(state.unreadable_lines, 1);
  EXPECT_EQ(out.text(),
            "in.txt:2:5: character U+20AC has no 8-bit code: bytes E2 82 AC; sentence skipped\n");
  // read_sentence passes over them.
  state.reading = sentence_reading{};
  EXPECT_EQ(sentences("\xC3(\nzwei\n"), (sentence_texts{"ZWEI "}));
  EXPECT_EQ(state.unreadable_lines, 2);
}

TEST_F(SentenceReader, ConsolePromptIsNotRepeatedAfterAnUnreadableLine) {
  use_console("\xFF\nhallo\n");
  state.added.utf8 = true;
  EXPECT_EQ(reads_of(state, state.console),
            (std::vector<input_line>{input_line::unreadable, input_line::sentence,
                                     input_line::input_ended}));
  EXPECT_EQ(out.text(),
            "Satz?console:1:1: invalid UTF-8 (byte never used in UTF-8): bytes FF; sentence "
            "skipped\nSatz?");
}

TEST_F(SentenceReader, AnEmptyLineEndsTheTextAndTheEndOfTheFileTheInput) {
  memory_input ended("eins\n\nzwei\n");
  EXPECT_EQ(reads_of(state, ended.file()),
            (std::vector<input_line>{input_line::sentence, input_line::text_ended}));
  EXPECT_TRUE(state.reading.ended_at_line);
  EXPECT_EQ(state.reading.line_number, 2);
  state.reading = sentence_reading{};
  memory_input whole("eins\n");
  EXPECT_EQ(reads_of(state, whole.file()),
            (std::vector<input_line>{input_line::sentence, input_line::input_ended}));
  EXPECT_FALSE(state.reading.ended_at_line);
}

TEST_F(SentenceReader, BufferIsClearedBeforeEachSentence) {
  const sentence_texts got = sentences("langer satz\nkurz\n");
  EXPECT_EQ(got, (sentence_texts{"LANGER SATZ ", "KURZ "}));
  EXPECT_EQ(state.sentence_buffer[6], 0);
}

// The end of the input in a file of the scratch directory: what
// report_unread_lines writes to standard error.
struct UnreadLines : ::testing::Test {
  scratch_directory folder;
  captured_output out;
  captured_output errors;
  analyser_state state;

  UnreadLines() {
    state.out = out.file();
    state.errors = errors.file();
    state.input_file_name = "text.txt";
  }

  // What the report of `input` adds to standard error.
  std::string report_for(const std::string& input, bool utf8 = false) {
    const std::size_t before = errors.text().size();
    folder.write("text.txt", input);
    state.added.utf8 = utf8;
    state.reading = sentence_reading{};
    unique_file file = open_text_file("text.txt");
    while (read_sentence(state, file.get(), state.sentence_buffer, kSentenceCapacity)) {
    }
    report_unread_lines(state, file.get());
    return errors.text().substr(before);
  }
};

TEST_F(UnreadLines, OneLineSaysWhereTheInputEndedAndWhatWasNotRead) {
  EXPECT_EQ(report_for("a\n\nb\n"),
            "text.txt:2: the input ends here at a line without text; 1 line after it was not "
            "read\n");
}

TEST_F(UnreadLines, CountsEveryLineBehindTheEnd) {
  // Empty lines count, and so does a last line without a line end.
  EXPECT_EQ(report_for("a\nb\n\t\r\n\nc\nd"),
            "text.txt:3: the input ends here at a line without text; 3 lines after it were not "
            "read\n");
}

TEST_F(UnreadLines, LinesOfLongPiecesAreCountedAsLines) {
  EXPECT_EQ(report_for(std::string(450, 'a') + "\n\n x\n", true),
            "text.txt:2: the input ends here at a line without text; 1 line after it was not "
            "read\n");
  EXPECT_EQ(report_for(std::string(450, 'a') + "\n\n x\n"),
            "text.txt:2: the input ends here at a line without text; 1 line after it was not "
            "read\n");
  // A full piece of 399 and its line end: the end is the line behind it.
  EXPECT_EQ(report_for(std::string(399, 'a') + "\n\n x\n"),
            "text.txt:2: the input ends here at a line without text; 1 line after it was not "
            "read\n");
}

TEST_F(UnreadLines, NothingWithoutTextBehindTheEnd) {
  EXPECT_EQ(report_for("a\n\n\n\r\n"), "");
  EXPECT_EQ(report_for("a\nb\n"), "");
  EXPECT_EQ(report_for(""), "");
}

TEST_F(UnreadLines, NothingForStreamsThatAreNoFiles) {
  // A pipe, say, would make the run wait for its writer.
  memory_input text("a\n\nb\n");
  while (read_sentence(state, text.file(), state.sentence_buffer, kSentenceCapacity)) {
  }
  ASSERT_TRUE(state.reading.ended_at_line);
  report_unread_lines(state, text.file());
  memory_input console("a\n\nb\n");
  state.console = console.file();
  state.reading = sentence_reading{};
  while (read_sentence(state, state.console, state.sentence_buffer, kSentenceCapacity)) {
  }
  report_unread_lines(state, state.console);
  EXPECT_EQ(errors.text(), "");
}
}  // namespace

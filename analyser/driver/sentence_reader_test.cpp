#include "analyser/driver/sentence_reader.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
  memory_input messages("7 Satz?\n");
  ASSERT_TRUE(read_message_file(state.loaded.messages, messages.file(), state.log()));
  memory_input console("hallo\n\n");
  state.console = console.file();
  auto* first = read_sentence(state, state.console, state.sentence_buffer, kSentenceCapacity);
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(reinterpret_cast<const char*>(first), "HALLO ");
  EXPECT_EQ(read_sentence(state, state.console, state.sentence_buffer, kSentenceCapacity), nullptr);
  EXPECT_EQ(out.text(), "Satz?Satz?");
  EXPECT_EQ(state.sentence_count, 1);
}

TEST_F(SentenceReader, BufferIsClearedBeforeEachSentence) {
  const sentence_texts got = sentences("langer satz\nkurz\n");
  EXPECT_EQ(got, (sentence_texts{"LANGER SATZ ", "KURZ "}));
  EXPECT_EQ(state.sentence_buffer[6], 0);
}
}  // namespace

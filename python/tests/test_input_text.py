"""The input split as the command line reads it, judged by the command line."""

import io
import os

import pytest

import mirask
from corpora import byte_corpus, corpus_with_empty_line, utf8_corpus
from conftest import EXAMPLES, cli_output, without_time
from mirask import input_text


def records_of(grammar, text, utf8=False):
    sentences = [s for line in input_text.lines_of(io.BytesIO(text), utf8) for s in line.sentences]
    return without_time("".join(r.json() + "\n" for r in grammar.parse_many(sentences, threads=2)))


@pytest.mark.parametrize("corpus", [byte_corpus, corpus_with_empty_line])
def test_sentences_are_those_the_command_line_reads(grammar, corpus):
    text = corpus()
    expected = cli_output(text)
    assert expected.count("\n") > 5
    assert records_of(grammar, text) == expected


def test_utf8_sentences_are_those_the_command_line_reads():
    folder = os.path.join(EXAMPLES, "utf8")
    g = mirask.Grammar(os.path.join(folder, "mirask.cfg"), utf8=True)
    text = utf8_corpus()
    expected = cli_output(text, "-utf8", folder=folder)
    assert records_of(g, text, utf8=True) == expected


def test_pieces_and_skipped_lines():
    lines = list(input_text.lines_of(io.BytesIO(b"a" * 400 + b"\r\nb\n\xff\nc\n\nd\n")))
    assert [(l.number, l.sentences) for l in lines] == [
        (1, [b"a" * 399, b"a\r\n"]), (2, [b"b\n"]), (3, [b"\xff\n"]), (4, [b"c\n"])]
    lines = list(input_text.lines_of(io.BytesIO(b"x\xff\n\xe2\x82\xac\nok"), utf8=True))
    assert [(l.number, l.sentences, l.skipped) for l in lines] == [
        (1, ["x\udcff\n"], "2: invalid UTF-8: bytes FF"),
        (2, ["\u20ac\n"], "1: character U+20AC has no 8-bit code: bytes E2 82 AC"),
        (3, ["ok"], None)]

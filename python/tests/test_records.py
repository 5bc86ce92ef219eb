"""The module's records against the command line's, sentence by sentence."""

import os

import pytest

import mirask
from conftest import (EXAMPLES, cli_records, example_lines, record_of, suite_sentences)


def joined(sentences):
    return "".join(s + "\n" for s in sentences).encode("utf-8")


@pytest.mark.parametrize("name", ["saetze.txt", "mehrdeutig.txt", "saetze.suite"])
def test_every_example_sentence_gives_the_command_lines_record(grammar, elsewhere, name):
    sentences = suite_sentences() if name == "saetze.suite" else example_lines(name)
    expected = cli_records(joined(sentences))
    assert len(expected) == len(sentences)
    one_by_one = [record_of(grammar.parse(s, number=i)) for i, s in enumerate(sentences, 1)]
    assert one_by_one == expected
    for threads in (1, 2, 3):
        assert [record_of(r) for r in grammar.parse_many(sentences, threads=threads)] == expected


def test_a_grammar_loaded_from_another_folder_gives_the_same_records(elsewhere):
    os.symlink(EXAMPLES, "examples")
    g = mirask.Grammar("examples/mirask.cfg")
    sentences = example_lines("saetze.txt")
    assert [record_of(r) for r in g.parse_many(sentences)] == cli_records(joined(sentences))


def test_diagnoses_and_every_analysis_as_the_command_line_gives_them(grammar):
    sentences = example_lines("saetze.txt") + example_lines("mehrdeutig.txt")
    expected = cli_records(joined(sentences), "-why", "-all", "-max-analyses", "2")
    found = grammar.parse_many(sentences, threads=2, why=True, all=True, max_analyses=2)
    assert [record_of(r) for r in found] == expected
    for r, record in zip(found, expected):
        why = {k: record[k] for k in ("fragments", "blocked", "missing", "split_attempts") if k in record}
        assert r.why() == why


def test_the_node_table_and_another_start_category(grammar):
    sentences = ["Der Hund.", "Der Hund bellt."]
    expected = cli_records(joined(sentences), "-list", "-a", "NPHR")
    assert [record_of(r) for r in grammar.parse_many(sentences, nodes=True, start="NPHR")] == expected


def test_the_utf8_copy_gives_the_command_lines_records(elsewhere):
    folder = os.path.join(EXAMPLES, "utf8")
    g = mirask.Grammar(os.path.join(folder, "mirask.cfg"), utf8=True)
    with open(os.path.join(folder, "saetze.txt"), encoding="utf-8") as f:
        sentences = f.read().splitlines()
    assert any(c in "".join(sentences) for c in "äöüß")
    expected = cli_records(joined(sentences), "-utf8", folder=folder)
    assert [record_of(r) for r in g.parse_many(sentences, threads=2)] == expected


def test_sentences_in_the_grammars_own_bytes_are_read_as_the_command_line_reads_a_file(grammar):
    # "{" is the example's ä; the byte 0xE4 is a letter the lexicon does not know.
    lines = [b"Das kleine M{dchen hilft dem alten Mann.", b"Das M\xe4dchen schl\xe4ft.",
             b"Der \xff Hund."]
    expected = cli_records(b"".join(l + b"\n" for l in lines))
    assert [record_of(r) for r in grammar.parse_many(lines)] == expected
    assert expected[1]["outcome"] == "unknown_word"
    assert grammar.parse("Das kleine Mädchen hilft dem alten Mann.").record()["sentence"] == \
        expected[0]["sentence"]

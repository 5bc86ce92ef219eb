"""Loading grammars: the example from anywhere, files that cannot be
loaded, skipped lines."""

import os
import pickle

import pytest

import mirask
from conftest import EXAMPLES


def test_names_are_relative_to_the_configurations_folder_unless_asked_otherwise(elsewhere):
    g = mirask.Grammar(os.path.join(EXAMPLES, "mirask.cfg"))
    assert (g.rule_count, g.ending_count, g.start, g.utf8, g.problems) == (34, 7, "SATZ", False, [])
    assert [f["role"] for f in g.files] == ["configuration", "messages", "rules", "lexicon",
                                            "endings"]
    assert all(f["checksum"].startswith("fnv1a64:") for f in g.files)
    with pytest.raises(mirask.Error) as e:
        mirask.Grammar(os.path.join(EXAMPLES, "mirask.cfg"), relative_to="current")
    assert e.value.file == "meldungen.txt"
    os.chdir(EXAMPLES)
    assert mirask.Grammar("mirask.cfg", relative_to="current").rule_count == 34


def write(folder, files):
    for name, text in files.items():
        (folder / name).write_bytes(text)
    return str(folder / "g.cfg")


GOOD = {"g.cfg": b"msg\n32\n46\nrules\nlexicon\nendings\n", "msg": b"1 x\n",
        "rules": b"DETA + NOMN = SATZ;.\n", "lexicon": b"DER=DETA\nHUND=NOMN\n", "endings": b""}


def load_error(path, **options):
    with pytest.raises(mirask.Error) as e:
        mirask.Grammar(path, **options)
    return e.value


def test_a_file_that_cannot_be_loaded_raises_error_with_its_place_and_the_interpreter_goes_on(
        tmp_path, grammar):
    e = load_error(str(tmp_path / "none.cfg"))
    assert e.file == str(tmp_path / "none.cfg") and e.line == 0
    assert str(e) == f"{e.file}: {e.message}"

    e = load_error(write(tmp_path, {**GOOD, "g.cfg": b"msg\n32\n46\nrules\nlexicon\nmissing\n"}))
    assert (e.file, e.message) == ("missing", "error endings file (not found)")

    e = load_error(write(tmp_path, {**GOOD, "rules": b"DETA + NOMN = SATZ;.\nA = \xc3(B;.\n"}),
                   utf8=True)
    assert (e.file, e.line, e.column) == (str(tmp_path / "rules"), 2, 5)
    assert str(e) == f"{e.file}:2:5: {e.message}"
    assert "UTF-8" in e.message

    # The error survives the way back from another process.
    again = pickle.loads(pickle.dumps(e))
    assert (str(again), again.file, again.line, again.column, again.message) == \
        (str(e), e.file, e.line, e.column, e.message)
    assert isinstance(e, Exception) and mirask.Grammar(write(tmp_path, GOOD)).rule_count == 1
    assert grammar.parse("Der Hund bellt.").outcome == "analysed"


def test_skipped_lines_and_rules_are_listed(tmp_path):
    g = mirask.Grammar(write(tmp_path, {**GOOD, "lexicon": b"DER=DETA\nHUND\n"}))
    assert g.problems == [{"file": "lexicon", "line": 2, "column": 1,
                           "text": 'line skipped (no word, "=" or category)'}]


def test_a_number_without_a_null_entry_is_an_outcome_and_the_parses_go_on():
    g = mirask.Grammar.from_texts(rules="DETA + NOMN = SATZ;.\n", lexicon="DER=DETA\nHUND=NOMN\n")
    assert g.parse("der 3").outcome == "no_number_reading"
    assert g.parse("der hund").outcome == "analysed"


def test_grammars_from_texts_and_bad_arguments():
    g = mirask.Grammar.from_texts(rules="DETA + NOMN = SATZ;.\n", lexicon="DER=DETA\nHUND=NOMN\n")
    assert g.parse("der hund").brackets == "<SATZ(DETA NOMN)>"
    with pytest.raises(ValueError, match="relative_to"):
        mirask.Grammar("x.cfg", relative_to="home")
    with pytest.raises(ValueError, match="start"):
        mirask.Grammar("x.cfg", start="")
    with pytest.raises(TypeError):
        mirask.Grammar(42)

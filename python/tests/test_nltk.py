"""The NLTK side: ParserI, and the module without NLTK."""

import os
import subprocess
import sys

from nltk.parse.api import ParserI

import mirask
from conftest import EXAMPLES


def test_the_parser_is_nltks_parseri_over_every_analysis(grammar):
    parser = mirask.Parser(grammar, threads=2)
    assert isinstance(parser, ParserI) and parser.grammar() is grammar
    ambiguous = "Der Mann sieht die Frau mit dem Fernglas".split()
    trees = list(parser.parse(ambiguous))
    assert len(trees) == 2 and trees[0] == grammar.parse(" ".join(ambiguous)).tree
    assert parser.parse_one(ambiguous) == trees[0]
    assert parser.parse_one("Der Hund bellen".split()) is None
    sents = [ambiguous, "Der Hund bellt".split(), "Der Kater".split()]
    assert [len(list(t)) for t in parser.parse_sents(sents)] == [2, 1, 0]
    assert parser.parse_all(ambiguous) == trees


def test_the_parser_takes_a_configuration_and_options():
    parser = mirask.Parser(os.path.join(EXAMPLES, "mirask.cfg"), start="NPHR")
    assert parser.parse_one(["Der", "Hund"]).label() == "NPHR"
    try:
        parser.parse_one("Der Hund")
    except TypeError as e:
        assert "list of words" in str(e)
    else:
        raise AssertionError("a string is not a sentence of words")


def test_without_nltk_the_module_works_and_asking_for_a_tree_says_what_is_missing():
    script = f"""
import sys
sys.modules["nltk"] = None  # as if it were not installed
import mirask
g = mirask.Grammar({os.path.join(EXAMPLES, "mirask.cfg")!r})
r = g.parse("Der Hund bellt.")
print(r.outcome, r.count, r.brackets, r.record()["outcome"])
try:
    r.tree
except ImportError as e:
    print("ImportError:", e)
"""
    done = subprocess.run([sys.executable, "-c", script], capture_output=True, text=True,
                          check=True)
    lines = done.stdout.splitlines()
    assert lines[0] == "analysed 1 <SATZ(NPHR(DETA NOMN)VPHR(VERB(VSTM VEND)))> analysed"
    assert lines[1].startswith("ImportError: mirask: trees are nltk.Tree values and need NLTK")

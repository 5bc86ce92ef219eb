"""What a result shows, kept in C++ until asked for, and parses that leave
the interpreter free."""

import sys
import threading

import pytest

import mirask
from conftest import ambiguous_grammar, example_lines, words

PP_CHAIN = ("Er sieht den Mann im Park mit dem Fernglas in der Stadt neben dem Haus im Garten "
            "auf dem Tisch.")


def test_a_result_shows_its_analysis(grammar):
    r = grammar.parse("Der Hund bellt.\n")
    assert (r.outcome, r.count, r.unbounded) == ("analysed", 1, False)
    assert (r.text, r.sentence) == ("Der Hund bellt.", "DER HUND BELLT")
    assert r.brackets == "<SATZ(NPHR(DETA NOMN)VPHR(VERB(VSTM VEND)))>"
    assert r.numbered_brackets.startswith("<SATZ:")
    assert str(r.tree) == str(next(r.trees()))
    assert r.tree.label() == "SATZ" and r.tree.leaves() == ["DER", "HUND", "BELL", "T"]
    assert r.tree.pformat(margin=1000) == \
        "(SATZ (NPHR (DETA DER) (NOMN HUND)) (VPHR (VERB (VSTM BELL) (VEND T))))"
    assert r.svg().startswith("<svg") and r._repr_svg_() == r.svg()
    assert r.why() == {} and r.unknown_word is None and r.problem is None
    assert "analysed" in repr(r)


def test_sentences_without_analysis_have_outcomes_of_their_own(grammar):
    cases = {
        "Der Hund bellen.": ("no_analysis", 0),
        "Der Kater miaut.": ("unknown_word", 0),
        ". . .": ("no_words", 0),
        "Der \u20ac bellt.": ("unreadable", 0),
        "Der \ud800 bellt.": ("unreadable", 0),
    }
    for sentence, (outcome, count) in cases.items():
        r = grammar.parse(sentence)
        assert (r.outcome, r.count, r.brackets, r.tree, r._repr_svg_()) == \
            (outcome, count, "", None, None), sentence
        assert list(r.trees()) == []
        assert r.record()["outcome"] == outcome
    assert grammar.parse("Der Kater miaut.").unknown_word == "KATER"
    assert "U+20AC" in grammar.parse("Der \u20ac bellt.").problem
    assert set(grammar.parse("Der Hund bellen.").why()) == {"fragments", "blocked", "missing"}
    assert "split_attempts" in grammar.parse("Der Kater miaut.").why()
    assert set(mirask.outcomes()) >= {o for o, _ in cases.values()} | {"node_limit", "timeout"}


def test_counts_are_exact_at_any_size_and_none_when_unbounded():
    g = ambiguous_grammar()
    r = g.parse(words(40))
    assert r.count == 680425371729975800390  # the Catalan number C(39), beyond 64 bits
    assert r.record()["analyses"] == "680425371729975800390"
    assert g.parse(words(30)).record()["analyses"] == 1002242216651368
    cycle = mirask.Grammar.from_texts(rules="XXXX = YYYY;.\nYYYY = XXXX;.\n", lexicon="A=XXXX\n",
                                      start="XXXX")
    r = cycle.parse("a", node_limit=1000)
    assert (r.count, r.unbounded, r.record()["analyses"]) == (None, True, "unbounded")


def test_every_analysis_comes_lazily_and_the_first_is_the_printed_one(grammar):
    r = grammar.parse(PP_CHAIN)
    assert r.node_count < 400  # stopped at the first analysis
    trees = r.trees()
    first = next(trees)
    assert first == r.tree
    rest = list(trees)
    assert 1 + len(rest) == r.count == 118
    assert len({str(t) for t in rest}) == len(rest) and first not in rest
    assert all(t.leaves() == first.leaves() for t in rest)
    # Asking again starts again; the result is unchanged.
    assert next(r.trees()) == first and r.node_count < 400


def test_a_thousand_results_keep_their_analyses_until_asked(grammar):
    sentences = example_lines("saetze.txt") * 25
    results = grammar.parse_many(sentences, threads=2)
    assert len(results) == 1125
    assert [r.record()["number"] for r in results[:3]] == [1, 2, 3]
    assert results[-1].record()["number"] == 1125
    assert [r.brackets for r in results[:45]] == [r.brackets for r in results[-45:]]
    later = grammar.parse_many(sentences[:45], first_number=7)
    assert later[0].record()["number"] == 7
    assert [r.json()[30:] for r in later] != []  # results outlive the parses after them
    assert results[0].brackets == "<SATZ(NPHR(DETA NOMN)VPHR(VERB(VSTM VEND)))>"


def test_a_result_outlives_its_grammar():
    g = ambiguous_grammar()
    r = g.parse(words(6))
    del g
    assert r.count == 42 and len(list(r.trees())) == 42 and r.record()["analyses"] == 42


def test_bad_arguments_are_refused_clearly(grammar):
    for keywords, error, words_ in [
        ({"node_limit": 0}, ValueError, "node_limit"),
        ({"node_limit": "9"}, TypeError, "node_limit"),
        ({"max_analyses": 0}, ValueError, "max_analyses"),
        ({"timeout": -1}, ValueError, "timeout"),
        ({"timeout": float("nan")}, ValueError, "timeout"),
        ({"timeout": "1s"}, TypeError, "timeout"),
        ({"why": 1}, TypeError, "why"),
        ({"start": 7}, TypeError, "start"),
        ({"number": 0}, ValueError, "number"),
        ({"colour": "red"}, TypeError, "colour"),
    ]:
        with pytest.raises(error, match=words_):
            grammar.parse("Der Hund bellt.", **keywords)
    with pytest.raises(TypeError, match="str or bytes"):
        grammar.parse_many(["Der Hund bellt.", 42])
    with pytest.raises(ValueError, match="threads"):
        grammar.parse_many([], threads=0)
    with pytest.raises(ValueError, match="numbers"):
        grammar.parse_many(["a", "b"], first_number=2**31 - 1)
    assert grammar.parse_many([]) == []
    assert grammar.parse("Der Hund bellt.", timeout=None, start=None).outcome == "analysed"


def test_the_node_limit_and_the_time_allowed_stop_a_parse_and_the_result_stays_usable():
    g = ambiguous_grammar()
    r = g.parse(words(14), all=True, node_limit=5000)
    assert r.outcome == "node_limit" and r.node_count <= 5000
    assert r.record()["outcome"] == "node_limit" and list(r.trees()) == list(r.trees())
    assert g.parse(words(3)).count == 2


def test_a_parse_stops_at_the_time_allowed():
    g = ambiguous_grammar()
    r = g.parse(words(15), all=True, node_limit=3_000_000, timeout=0.005)
    assert r.outcome == "timeout"
    assert r.record()["outcome"] == "timeout" and r.why() is not None
    assert len(list(r.trees())) == len(list(r.trees()))
    assert g.parse(words(3), timeout=0.5).count == 2


def steps_beside(call):
    """How often this thread went round a loop while another ran `call`,
    counted from just before the call until it returned. With the GIL held
    through the call this thread could not run at all meanwhile."""
    started, done = threading.Event(), threading.Event()

    def run():
        started.set()
        call()
        done.set()

    old = sys.getswitchinterval()
    sys.setswitchinterval(1e-5)  # no long turns for either thread at a time
    try:
        worker = threading.Thread(target=run)
        worker.start()
        started.wait()
        steps = 0
        while not done.is_set():
            steps += 1
        worker.join()
    finally:
        sys.setswitchinterval(old)
    return steps


def test_parses_leave_the_interpreter_free():
    g = ambiguous_grammar()
    long_parse = {"all": True, "node_limit": 2_000_000}
    assert steps_beside(lambda: g.parse(words(14), **long_parse)) > 100_000
    assert steps_beside(lambda: g.parse_many([words(14)] * 2, threads=2, **long_parse)) > 100_000
    stopped = g.parse(words(14), node_limit=2_000_000)  # at its first analysis
    assert steps_beside(lambda: next(stopped.trees())) > 100_000  # the parse taken to its end


def test_threads_sharing_a_result_see_the_same_trees(grammar):
    r = grammar.parse(PP_CHAIN)
    found = [None] * 4

    def take(k):
        found[k] = [str(t) for t in r.trees()]

    threads = [threading.Thread(target=take, args=(k,)) for k in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert all(f == found[0] for f in found) and len(found[0]) == r.count == 118

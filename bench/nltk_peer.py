#!/usr/bin/python3
"""The NLTK side of bench/nltk_compare.sh: BottomUpChartParser on a token file.

    nltk_peer.py GRAMMAR.cfg TOKENS [budget_seconds [memory_gb]]

GRAMMAR.cfg is an NLTK CFG ("%start SATZ", "NPHR -> DETA NOMN", "DETA -> 'DER'");
TOKENS holds one sentence a line: a family name, a tab, the tokens separated
by blanks (as skeleton_grammar.py writes them). For each sentence two times,
each the median of repeated runs (at least MIN_RUNS, until MIN_SECONDS are
measured; a run longer than SINGLE_RUN_SECONDS is not repeated):

- chart: `parser.chart_parse(tokens)`, the packed chart;
- first: `next(parser.parse(tokens), None)`, the chart and the first parse
  tree (NLTK builds every tree of the first complete edge before it hands
  out the first one).

A run is stopped after `budget_seconds` (default 60) or when the process
reaches `memory_gb` of address space (default 4): the time is then reported
as "> budget" or "> memory", and the longer sentences of the same family are
not tried for that time ("skipped").

Also reported: whether the chart holds a complete parse, the edges of the
chart, and the number of parse trees, counted on the chart (the sum over
the complete start edges of the products over their child pointer lists,
which is what `parse` would enumerate). For sentences whose trees are few
(at most CHECK_TREES) the count is checked against `len(list(parse()))`.

Output: "#" comment lines, then one tab-separated row per sentence:
number, family, tokens count, found (yes/no), chart ms, edges, first ms,
trees.
"""
import resource
import signal
import statistics
import sys
import time

from nltk import CFG
from nltk.parse.chart import BottomUpChartParser, LeafEdge

MIN_RUNS = 3
MIN_SECONDS = 1.0
SINGLE_RUN_SECONDS = 5.0
CHECK_TREES = 2000


class out_of_budget(Exception):
    pass


def on_alarm(_signum, _frame):
    raise out_of_budget()


def timed(run, budget):
    """The median seconds of `run`, or "> budget" / "> memory"."""
    times = []
    while True:
        signal.setitimer(signal.ITIMER_REAL, budget)
        try:
            start = time.perf_counter()
            run()
            times.append(time.perf_counter() - start)
        except out_of_budget:
            return "> budget"
        except MemoryError:
            return "> memory"
        finally:
            signal.setitimer(signal.ITIMER_REAL, 0)
        if times[0] > SINGLE_RUN_SECONDS:
            break
        if len(times) >= MIN_RUNS and sum(times) >= MIN_SECONDS:
            break
    return statistics.median(times)


def tree_count(chart, start):
    """The parse trees of the chart, counted without building them."""
    memo = {}

    def count(edge):
        if isinstance(edge, LeafEdge):
            return 1
        if edge in memo:
            return memo[edge]
        memo[edge] = 0  # a cycle adds no tree, as in Chart._trees
        total = 0
        for pointers in chart.child_pointer_lists(edge):
            product = 1
            for child in pointers:
                product *= count(child)
            total += product
        memo[edge] = total
        return total

    edges = chart.select(start=0, end=chart.num_leaves(), lhs=start, is_complete=True)
    return sum(count(e) for e in edges)


def milliseconds(t):
    return t if isinstance(t, str) else f"{t * 1e3:.3f}"


def main():
    if len(sys.argv) < 3:
        sys.exit("usage: nltk_peer.py GRAMMAR.cfg TOKENS [budget_seconds [memory_gb]]")
    budget = float(sys.argv[3]) if len(sys.argv) > 3 else 60.0
    memory = float(sys.argv[4]) if len(sys.argv) > 4 else 4.0
    limit = int(memory * 2**30)
    resource.setrlimit(resource.RLIMIT_AS, (limit, limit))
    signal.signal(signal.SIGALRM, on_alarm)
    sys.setrecursionlimit(100000)

    with open(sys.argv[1], encoding="latin-1") as f:
        grammar = CFG.fromstring(f.read())
    parser = BottomUpChartParser(grammar)
    print(f"# BottomUpChartParser, {len(grammar.productions())} productions, start "
          f"{grammar.start()}; budget {budget:g} s, {memory:g} GB")
    given_up = {}  # family -> the times no longer tried
    with open(sys.argv[2], encoding="latin-1") as f:
        rows = [line.rstrip("\n").split("\t") for line in f if line.strip()]
    for number, (family, text) in enumerate(rows, 1):
        tokens = text.split()
        skipped = given_up.setdefault(family, set())
        chart = parser.chart_parse(tokens)
        trees = tree_count(chart, grammar.start())
        if 0 < trees <= CHECK_TREES and len(list(parser.parse(tokens))) != trees:
            sys.exit(f"nltk_peer.py: the tree count of sentence {number} is wrong")
        times = {}
        for name, run in (("chart", lambda: parser.chart_parse(tokens)),
                          ("first", lambda: next(parser.parse(tokens), None))):
            times[name] = "skipped" if name in skipped else timed(run, budget)
            if isinstance(times[name], str):
                skipped.add(name)
        print(f"{number}\t{family}\t{len(tokens)}\t{'yes' if trees > 0 else 'no'}\t"
              f"{milliseconds(times['chart'])}\t{chart.num_edges()}\t"
              f"{milliseconds(times['first'])}\t{trees}", flush=True)


if __name__ == "__main__":
    main()

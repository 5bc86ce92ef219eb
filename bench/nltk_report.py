#!/usr/bin/python3
"""The tables of bench/nltk_compare.sh, and its checks.

    nltk_report.py SCRATCH_DIR SET...

For each SET reads SCRATCH_DIR/sets/SET.tokens (the tokens given to NLTK),
SCRATCH_DIR/results/SET.mirask (bench_first_analysis) and
SCRATCH_DIR/results/SET.nltk (nltk_peer.py), checks for every sentence that

- Mirask took the same tokens as NLTK was given,
- Mirask finds an analysis (first and full parse) exactly when NLTK's chart
  holds a parse,
- where Mirask's full parse ran to its end, its complete analyses are as
  many as NLTK's parse trees,

and prints Markdown: a summary row per set (median times and their
ratios) and a row per sentence. Exits with 1 when a check fails.
"""
import math
import os
import statistics
import sys

FIRST_TARGET_MS = 1.0  # the 40-word sentence of the ambiguous grammar
RATIO_TARGET = 100
TARGET_WORDS = 40


def read_rows(path):
    with open(path, encoding="latin-1") as f:
        return [line.rstrip("\n").split("\t") for line in f if line.strip() and line[0] != "#"]


def time_value(text):
    """A time in ms: a number; math.inf for "> budget", "> memory" and "skipped"
    (a shorter sentence of the family was beyond the budget already)."""
    try:
        return float(text)
    except ValueError:
        return math.inf


class sentence:
    def __init__(self, tokens_row, mirask_row, nltk_row):
        self.family, self.tokens = tokens_row[0], tokens_row[1]
        (_, words, self.mirask_tokens, self.first_outcome, first_ms, self.first_nodes,
         self.full_outcome, full_ms, self.full_nodes, self.complete, lex_ms) = mirask_row
        self.words = int(words)
        self.first_ms, self.lex_ms = float(first_ms), float(lex_ms)
        self.full_ms = None if self.full_outcome == "skipped" else float(full_ms)
        (_, _, _, found, chart_ms, self.edges, nltk_first_ms, trees) = nltk_row
        self.nltk_found = found == "yes"
        self.chart_text, self.nltk_first_text = chart_ms, nltk_first_ms
        self.chart_ms, self.nltk_first_ms = time_value(chart_ms), time_value(nltk_first_ms)
        self.trees = int(trees)

    def problems(self):
        found = []
        if self.mirask_tokens != self.tokens:
            found.append(f"tokens differ: Mirask '{self.mirask_tokens}', NLTK '{self.tokens}'")
        if (self.first_outcome == "analysed") != self.nltk_found:
            found.append(f"first analysis {self.first_outcome}, NLTK found {self.nltk_found}")
        if self.full_outcome in ("analysed", "no_analysis"):
            if (self.full_outcome == "analysed") != self.nltk_found:
                found.append(f"full parse {self.full_outcome}, NLTK found {self.nltk_found}")
            if int(self.complete) != self.trees:
                found.append(f"{self.complete} complete nodes, {self.trees} NLTK trees")
        return found


def load_set(scratch, name):
    tokens = read_rows(os.path.join(scratch, "sets", name + ".tokens"))
    mirask = read_rows(os.path.join(scratch, "results", name + ".mirask"))
    nltk = read_rows(os.path.join(scratch, "results", name + ".nltk"))
    if not len(tokens) == len(mirask) == len(nltk):
        sys.exit(f"nltk_report.py: set {name}: {len(tokens)} sentences, {len(mirask)} Mirask "
                 f"rows, {len(nltk)} NLTK rows")
    return [sentence(*rows) for rows in zip(tokens, mirask, nltk)]


def ms(value, lower_bound=False):
    if value is None:
        return "-"
    if value == math.inf:
        return "> budget"
    text = f"{value:.4f}" if value < 0.1 else f"{value:.3f}" if value < 100 else f"{value:,.0f}"
    return "> " + text if lower_bound else text


def ratio(peer, ours, peer_text="> budget"):
    if peer is None or ours is None:
        return "-"
    if peer == math.inf:
        return peer_text
    return f"{peer / ours:,.0f}" if peer / ours >= 10 else f"{peer / ours:.1f}"


def median(values):
    """The median, math.inf when it falls on a value beyond the budget."""
    values = [v for v in values if v is not None]
    return statistics.median_low(values) if values else None


def full_cell(s):
    if s.full_outcome == "skipped":
        return "skipped", "-"
    bound = s.full_outcome == "limit"
    return ms(s.full_ms, bound), (f"{int(s.full_nodes):,}" + (" (limit)" if bound else ""))


def print_sentences(name, sentences):
    print(f"\n#### Set \"{name}\"\n")
    print("| # | family | words | first ms | first nodes | full ms | full nodes | analyses "
          "| NLTK chart ms | NLTK first ms | trees | ratio first | ratio chart |")
    print("|--:|---|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|")
    for i, s in enumerate(sentences, 1):
        full_ms, full_nodes = full_cell(s)
        complete = s.complete if s.full_outcome in ("analysed", "no_analysis") else "-"
        print(f"| {i} | {s.family} | {s.words} | {ms(s.first_ms)} | {int(s.first_nodes):,} | "
              f"{full_ms} | {full_nodes} | {complete} | {s.chart_text} | {s.nltk_first_text} | "
              f"{s.trees:,} | {ratio(s.nltk_first_ms, s.first_ms, s.nltk_first_text)} | "
              f"{ratio(s.chart_ms, s.first_ms, s.chart_text)} |")


def summary(name, sentences):
    first = median([s.first_ms for s in sentences])
    full = None if any(s.full_ms is None for s in sentences) else \
        median([s.full_ms for s in sentences])
    full_bound = any(s.full_outcome == "limit" for s in sentences)
    chart = median([s.chart_ms for s in sentences])
    nltk_first = median([s.nltk_first_ms for s in sentences])
    print(f"| {name} | {len(sentences)} | {ms(first)} | {ms(full, full_bound)} | {ms(chart)} | "
          f"{ms(nltk_first)} | {ratio(nltk_first, first)} | {ratio(chart, first)} | "
          f"{ratio(chart, full) if full else '-'} |")
    return first, chart, nltk_first


def main():
    scratch, names = sys.argv[1], sys.argv[2:]
    sets = {name: load_set(scratch, name) for name in names}
    failed = False
    for name, sentences in sets.items():
        for i, s in enumerate(sentences, 1):
            for problem in s.problems():
                print(f"MISMATCH set {name} sentence {i}: {problem}")
                failed = True
    print("Medians over the sentences of each set (ms per sentence); \"first\" is Mirask with the "
          "stop at the first analysis, \"full\" the full parse; NLTK \"chart\" is "
          "`chart_parse`, NLTK \"first\" `next(parse())`. Ratios: NLTK over Mirask first "
          "(last column: NLTK chart over Mirask full).\n")
    print("| set | sentences | Mirask first | Mirask full | NLTK chart | NLTK first "
          "| NLTK first / Mirask first | NLTK chart / Mirask first | NLTK chart / Mirask full |")
    print("|---|--:|--:|--:|--:|--:|--:|--:|--:|")
    medians = {name: summary(name, sentences) for name, sentences in sets.items()}
    for name, sentences in sets.items():
        print_sentences(name, sentences)
    print("\n#### Targets\n")
    for name, (first, chart, nltk_first) in medians.items():
        if name == "ambiguous":
            longest = max(sets[name], key=lambda s: s.words)
            met = longest.words >= TARGET_WORDS and longest.first_ms < FIRST_TARGET_MS
            print(f"- {name}: the {longest.words}-word sentence in {ms(longest.first_ms)} ms "
                  f"(target < {FIRST_TARGET_MS:g} ms): {'met' if met else 'NOT met'}")
        else:
            for peer, label in ((nltk_first, "first"), (chart, "chart")):
                met = peer / first >= RATIO_TARGET
                print(f"- {name}: NLTK {label} / Mirask first = {ratio(peer, first)} "
                      f"(target >= {RATIO_TARGET}): {'met' if met else 'NOT met'}")
    print("\nEquivalence checks: " + ("FAILED" if failed else "all passed") +
          " (same tokens; parse / no parse; complete nodes = NLTK trees where the full parse ran)")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()

#!/usr/bin/env bash
# The machine-readable outputs read by the readers their users use, on the
# bundled example:
# - every -json record parses with Python's json module, there is one per
#   sentence (45), and each outcome agrees with the printout of the same run;
# - every -penn line (also with -subcat and -all) is read by NLTK's
#   Tree.fromstring with its default settings, and its leaves are the words
#   of its sentence;
# - every -dot graph is drawn by `dot -Tsvg` without an error.
# A reader that is not installed skips its part with a message; when none
# is, the test is skipped (status 77).
#   tests/mirask-exports.sh MIRASK EXAMPLES_DIR
set -eu
program=$1
examples=$2
python=/usr/bin/python3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$examples"
run() { "$program" -c mirask.cfg "$@" 2> /dev/null || [ $? = 1 ]; }
run -i saetze.txt > "$work/printout"
run -i saetze.txt -json > "$work/records"
run -i saetze.txt -penn > "$work/penn"
run -i saetze.txt -penn -subcat > "$work/penn-values"
run -i mehrdeutig.txt -penn -all > "$work/penn-all"
run -i mehrdeutig.txt -json > "$work/records-ambiguous"
run -i saetze.txt -dot > "$work/graphs"
checked=0

if [ -x "$python" ]; then
  "$python" - "$work" <<'PY'
import json, sys
work = sys.argv[1]
records = [json.loads(line) for line in open(work + "/records", encoding="utf-8")]
assert len(records) == 45, "%d records" % len(records)
# The outcome each sentence of the printout has.
outcomes, current = [], None
for line in open(work + "/printout", encoding="latin-1"):
    if line.startswith("Satz: "):
        outcomes.append("no_words")
    elif outcomes and line.startswith("Analyse:"):
        outcomes[-1] = "analysed"
    elif outcomes and line.startswith("Keine vollstaendige Analyse"):
        outcomes[-1] = "no_analysis"
    elif outcomes and line.startswith("Wort weder im Lexikon"):
        outcomes[-1] = "unknown_word"
    elif outcomes and line.startswith("Node limit"):
        outcomes[-1] = "node_limit"
for n, (record, outcome) in enumerate(zip(records, outcomes), 1):
    assert record["number"] == n and record["version"] == 1
    assert record["outcome"] == outcome, "sentence %d: %s against %s" % (n, record["outcome"], outcome)
    assert (record["analysis"] is None) == (outcome != "analysed")
print("json: %d records agree with the printout" % len(records))
PY
  checked=1
else
  echo "skipped json: $python is not installed"
fi

if [ -x "$python" ] && "$python" -c "import nltk" 2> /dev/null; then
  "$python" - "$work" <<'PY'
import json, sys
from nltk import Tree
work = sys.argv[1]

def words(record):
    """The words of a sentence at their positions: a split word as stem and ending."""
    out = []
    for w in record["words"]:
        out += [w["stem"], w["ending"]] if "stem" in w else [w["text"]]
    return out

def check(penn_file, records_file, all_analyses):
    records = [json.loads(line) for line in open(work + "/" + records_file, encoding="utf-8")]
    blocks = open(work + "/" + penn_file, encoding="utf-8").read().split("\n")
    if all_analyses:  # one block of lines per sentence, each ended by an empty line
        blocks = "\n".join(blocks).split("\n\n")
    trees = 0
    for record, block in zip(records, blocks):
        for line in [l for l in block.split("\n") if l]:
            tree = Tree.fromstring(line)
            assert tree.leaves() == words(record), (line, words(record))
            trees += 1
        assert (record["analysis"] is not None) == (block.strip() != ""), record["number"]
    return trees

n = check("penn", "records", False) + check("penn-values", "records", False)
n += check("penn-all", "records-ambiguous", True)
print("penn: NLTK read %d trees, their leaves the words of their sentences" % n)
PY
  checked=1
else
  echo "skipped penn: NLTK (Debian python3-nltk) is not installed"
fi

if command -v dot > /dev/null; then
  dot -Tsvg "$work/graphs" > "$work/graphs.svg"
  graphs=$(grep -c '^digraph' "$work/graphs")
  svgs=$(grep -c '<svg' "$work/graphs.svg")
  [ "$graphs" = 45 ] && [ "$svgs" = 45 ] || { echo "--- $graphs graphs, $svgs pictures"; exit 1; }
  echo "dot: $graphs graphs drawn"
  checked=1
else
  echo "skipped dot: Graphviz is not installed"
fi
[ "$checked" = 1 ] || exit 77

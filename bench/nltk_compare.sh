#!/usr/bin/env bash
# Mirask against NLTK's BottomUpChartParser on the same skeleton grammar, side
# by side in one run:
#
#   bench/nltk_compare.sh BUILD_DIR [SCRATCH_DIR]
#
# BUILD_DIR is a release build that already holds bench/bench_first_analysis
# (cmake --build --preset release --target bench_first_analysis); the script
# builds nothing. SCRATCH_DIR (default: a temporary directory, removed at the
# end) receives the skeleton grammar, the sentence sets and the raw results.
#
# 1. skeleton_grammar.py: the example grammar without value sets and
#    conditions, as a Mirask rules file + lexicon + endings and as an NLTK
#    CFG, and the sets "example" (the grammatical sentences of saetze.txt),
#    "long" (PP chains and coordinations growing to about 40 word positions)
#    and "ambiguous" (X^n for XXXX + XXXX = XXXX, n = 10, 20, 30, 40).
# 2. bench_first_analysis (the first analysis and the full parse; the full
#    parse of the ambiguous sentences only up to 15 words) and nltk_peer.py
#    (the chart, and the chart with the first tree) on each set.
# 3. nltk_report.py: checks that both take the same tokens and agree on parse
#    or no parse (and on the number of analyses where Mirask's full parse
#    ran), and prints the Markdown tables.
#
# Needs Debian's python3-nltk, run with /usr/bin/python3 (scripts/install-deps
# bench). Environment: NLTK_BUDGET (seconds per NLTK run, 60), NLTK_MEMORY_GB
# (address space of the NLTK process, 4).
set -euo pipefail

if [[ $# -lt 1 ]]; then
  echo "usage: bench/nltk_compare.sh BUILD_DIR [SCRATCH_DIR]" >&2
  exit 2
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
bench=$build/bench/bench_first_analysis
python=/usr/bin/python3
budget=${NLTK_BUDGET:-60}
memory=${NLTK_MEMORY_GB:-4}
# The full parse of the maximally ambiguous grammar beyond this many words
# would take minutes (and reach the node limit).
ambiguous_full_words=15

if [[ ! -x $bench ]]; then
  echo "no $bench (build the target bench_first_analysis first)" >&2
  exit 2
fi
if ! $python -c 'import nltk' 2>/dev/null; then
  echo "NLTK is missing: install python3-nltk (scripts/install-deps bench)" >&2
  exit 2
fi
if [[ $# -ge 2 ]]; then
  scratch=$2
  mkdir -p "$scratch"
else
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
fi
mkdir -p "$scratch/results"

$python "$root/bench/skeleton_grammar.py" "$root/examples" "$scratch" >&2

# run_set NAME GRAMMAR_DIR [bench options]: both sides on the set NAME.
run_set() {
  local name=$1 grammar=$2
  shift 2
  echo "set $name: Mirask" >&2
  "$bench" "$grammar/regeln.txt" "$grammar/lexikon.txt" "$grammar/endungen.txt" \
    "$scratch/sets/$name.txt" "$@" >"$scratch/results/$name.mirask"
  echo "set $name: NLTK" >&2
  $python "$root/bench/nltk_peer.py" "$grammar/grammar.cfg" "$scratch/sets/$name.tokens" \
    "$budget" "$memory" >"$scratch/results/$name.nltk"
}

run_set example "$scratch/skeleton"
run_set long "$scratch/skeleton"
run_set ambiguous "$scratch/ambiguous" -a XXXX -f "$ambiguous_full_words"

echo "## Mirask against NLTK's BottomUpChartParser ($(nproc) cores, NLTK" \
  "$($python -c 'import nltk; print(nltk.__version__)'), budget $budget s)"
echo
$python "$root/bench/nltk_report.py" "$scratch" example long ambiguous

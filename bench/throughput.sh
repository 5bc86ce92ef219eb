#!/usr/bin/env bash
# Sentences per second of the whole analyser: the bundled example's sentences
# repeated to BENCH_SENTENCES lines, run through a plain run, -penn, -json,
# -test (the example suite's items repeated to as many items) and each of
# them again with -threads 2 (where the analyser has it), each output thrown
# away. The modes take turns in every repetition, so that a busy machine
# slows them alike; times are medians of the wall-clock runs, less the
# median of a run on an empty input (the load). Two one-thread -penn runs
# side by side show what the machine's processors give: half their time is
# the least a perfect split on two threads could take.
#
#   bench/throughput.sh [build-directory [older-Mirask]]   (default: build/release)
#
# With an older Mirask binary, every mode runs with both, turn about, and
# the table gains the older figures and the ratio of the times (new / old).
#
# Environment: BENCH_SENTENCES (100010), BENCH_REPEATS (5), BENCH_CALLGRIND
# (sentences for callgrind's instructions per sentence, start-up excluded; 0
# to skip; default 20000; needs valgrind).
set -euo pipefail
export LC_ALL=C

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
older=${2:-}
sentences=${BENCH_SENTENCES:-100010}
repeats=${BENCH_REPEATS:-5}
callgrind_sentences=${BENCH_CALLGRIND:-20000}
examples=$root/examples

if [[ ! -f $build/CMakeCache.txt ]]; then
  echo "no configured build in $build (try: cmake --preset release)" >&2
  exit 2
fi
if [[ -n $older && ! -x $older ]]; then
  echo "not an executable: $older" >&2
  exit 2
fi
build=$(cd "$build" && pwd)
[[ -n $older ]] && older=$(cd "$(dirname "$older")" && pwd)/$(basename "$older")
cmake --build "$build" --target Mirask >/dev/null
binaries=("$build/analyser/Mirask")
[[ -n $older ]] && binaries+=("$older")

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The lines of `file` repeated to `count` lines.
repeat_lines() {
  awk -v n="$2" '{ line[NR] = $0 } END { for (i = 0; i < n; ++i) print line[i % NR + 1] }' "$1"
}

# Words as the analyser cuts them: the text before a tab (a suite item's
# sentence), up to the first ". ! ?", at blanks, commas and semicolons (the
# example's delimiters).
count_words() {
  awk -F '\t' '{ s = $1; sub(/^\*/, "", s); sub(/[.!?].*/, "", s); n += split(s, w, /[ ,;]+/)
                 for (k in w) if (w[k] == "") --n }
               END { print n }' "$1"
}

repeat_lines "$examples/saetze.txt" "$sentences" >"$work/big.txt"
grep -v -e '^\$' -e '^$' "$examples/saetze.suite" >"$work/items.txt"
repeat_lines "$work/items.txt" "$sentences" >"$work/big.suite"
: >"$work/empty.txt"
: >"$work/empty.suite"

# The modes, and the arguments of each; INPUT stands for the input file.
modes=(plain penn json test threads penn-threads json-threads test-threads penn-pair)
mode_arguments() {
  case $1 in
    plain) echo "-i INPUT" ;;
    penn) echo "-i INPUT -penn" ;;
    json) echo "-i INPUT -json" ;;
    test) echo "-test INPUT" ;;
    threads) echo "-i INPUT -threads 2" ;;
    penn-threads) echo "-i INPUT -penn -threads 2" ;;
    json-threads) echo "-i INPUT -json -threads 2" ;;
    test-threads) echo "-test INPUT -threads 2" ;;
    penn-pair) echo "-i INPUT -penn" ;;
  esac
}
mode_label() { mode_arguments "$1" | sed 's/-i INPUT *//; s/INPUT/SUITE/; s/^$/plain/'; }
input_of() { [[ $1 == test* ]] && echo "$work/$2.suite" || echo "$work/$2.txt"; }
has_mode() { [[ $2 != *threads && $2 != *pair ]] || "$1" --help 2>/dev/null | grep -q -- '^ *-threads'; }

# Runs a binary in a mode on an input and prints the wall time in seconds.
# The analyser's exit status is 1 on every normal end.
run_mode() {
  local binary=$1 mode=$2 input=$3 args start
  args=$(mode_arguments "$mode")
  args=${args/INPUT/$input}
  start=$EPOCHREALTIME
  # shellcheck disable=SC2086
  if [[ $mode == *pair ]]; then
    (cd "$examples" && { "$binary" -c mirask.cfg $args >/dev/null 2>&1 </dev/null & } &&
      "$binary" -c mirask.cfg $args >/dev/null 2>&1 </dev/null; wait) || true
  else
    (cd "$examples" && "$binary" -c mirask.cfg $args >/dev/null 2>&1 </dev/null) || true
  fi
  awk -v s="$start" -v e="$EPOCHREALTIME" 'BEGIN { printf "%.4f\n", e - s }'
}

median() { sort -n | awk '{ v[NR] = $1 } END { m = int((NR + 1) / 2); print (NR % 2) ? v[m] : (v[m] + v[m + 1]) / 2 }'; }

for ((i = 0; i < repeats; ++i)); do
  for mode in "${modes[@]}"; do
    for b in "${!binaries[@]}"; do
      has_mode "${binaries[b]}" "$mode" || continue
      run_mode "${binaries[b]}" "$mode" "$(input_of "$mode" big)" >>"$work/$mode.$b.times"
      run_mode "${binaries[b]}" "$mode" "$(input_of "$mode" empty)" >>"$work/$mode.$b.load"
    done
  done
done

# Seconds of a mode with binary b, less the load; empty when it lacks the mode.
seconds_of() {
  [[ -f $work/$1.$2.times ]] || return 0
  awk -v t="$(median <"$work/$1.$2.times")" -v z="$(median <"$work/$1.$2.load")" \
    'BEGIN { printf "%.3f", t - z }'
}

# One table cell group: seconds, sentences/s, words/s, µs per sentence.
figures() {
  [[ -n $1 ]] || { printf ' not available | | | |'; return; }
  awk -v s="$1" -v n="$sentences" -v w="$2" \
    'BEGIN { printf " %.3f | %.0f | %.0f | %.2f |", s, n / s, w / s, 1e6 * s / n }'
}

echo "Mirask on $(nproc) processors: $sentences sentences ($(count_words "$work/big.txt") words)," \
  "$sentences suite items ($(count_words "$work/big.suite") words);" \
  "median wall time of $repeats runs, less the load"
header='| mode | s | sentences/s | words/s | µs/sentence |'
rule='|---|--:|--:|--:|--:|'
if [[ -n $older ]]; then
  header+=' before: s | sentences/s | words/s | µs/sentence | new / before |'
  rule+='--:|--:|--:|--:|--:|'
fi
echo "$header"
echo "$rule"
for mode in "${modes[@]}"; do
  [[ $mode == penn-pair ]] && continue
  words=$(count_words "$(input_of "$mode" big)")
  now=$(seconds_of "$mode" 0)
  line="| $(mode_label "$mode") |$(figures "$now" "$words")"
  if [[ -n $older ]]; then
    before=$(seconds_of "$mode" 1)
    line+="$(figures "$before" "$words")"
    if [[ -n $now && -n $before ]]; then
      line+=$(awk -v a="$now" -v b="$before" 'BEGIN { printf " %.2f |", a / b }')
    else
      line+=' |'
    fi
  fi
  echo "$line"
done
if [[ -f $work/penn.0.times && -f $work/json.0.times ]]; then
  awk -v j="$(seconds_of json 0)" -v p="$(seconds_of penn 0)" \
    'BEGIN { printf "-json / -penn: %.2f\n", j / p }'
fi
if [[ -f $work/threads.0.times ]]; then
  ratios=""
  for pair in plain:threads penn:penn-threads json:json-threads test:test-threads; do
    ratios+=$(awk -v l="$(mode_label "${pair%%:*}")" -v a="$(seconds_of "${pair#*:}" 0)" \
      -v b="$(seconds_of "${pair%%:*}" 0)" 'BEGIN { printf " %s %.2f,", l, a / b }')
  done
  echo "-threads 2 / one thread:${ratios%,}"
  awk -v a="$(seconds_of penn-pair 0)" -v b="$(seconds_of penn 0)" \
    'BEGIN { printf "two one-thread -penn runs side by side / one alone: %.2f (half of it: %.2f)\n", a / b, a / b / 2 }'
fi

# Instructions of a binary in a mode on the first `count` sentences.
instructions() {
  local binary=$1 mode=$2 count=$3 input args
  input=$work/callgrind.$count.txt
  head -n "$count" "$work/big.txt" >"$input"
  args=$(mode_arguments "$mode")
  args=${args/INPUT/$input}
  # shellcheck disable=SC2086
  (cd "$examples" && valgrind --tool=callgrind --callgrind-out-file=/dev/null \
    "$binary" -c mirask.cfg $args </dev/null 2>&1 >/dev/null || true) |
    sed -n 's/.*Collected : *//p'
}

if [[ $callgrind_sentences -gt 1 ]] && command -v valgrind >/dev/null; then
  for b in "${!binaries[@]}"; do
    which=now
    [[ $b -gt 0 ]] && which=before
    for mode in plain penn json; do
      few=$(instructions "${binaries[b]}" "$mode" 1)
      many=$(instructions "${binaries[b]}" "$mode" "$callgrind_sentences")
      awk -v l="$(mode_label "$mode")" -v w="$which" -v a="$few" -v b="$many" \
        -v n="$callgrind_sentences" \
        'BEGIN { printf "callgrind, %s, %s: %.0f instructions per sentence\n", w, l, (b - a) / (n - 1) }'
    done
  done
fi

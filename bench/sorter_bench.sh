#!/usr/bin/env bash
# Zandoret's script form against the system's sort, side by side on the
# same inputs:
#   the sorted list          against  LC_ALL=C sort -u
#   counts by falling count  against  LC_ALL=C sort | uniq -c | LC_ALL=C sort -s -k1,1nr
# The two sides take turns in every repetition, so that a busy machine slows
# both alike. Wall times are medians over the repetitions; the ratio is
# Zandoret's time over the peer's (below 1: Zandoret is faster). Peak memory
# is the largest resident set of a run (of a pipeline: of its largest
# process). Before the timing, the lists themselves are compared: for input
# without empty lines, carriage returns and lines of more than 199 bytes,
# Zandoret must write exactly what the peer writes.
#
#   bench/sorter_bench.sh [build-directory]     (default: build/release)
#
# Environment: BENCH_LINES (generated lines, 1000000), BENCH_VOCABULARY
# (distinct words to draw them from, 200000), BENCH_REPEATS (5). Debian's
# German word list /usr/share/dict/ngerman (package wngerman) is taken as
# well when installed, as it comes and shuffled.
set -euo pipefail
export LC_ALL=C

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
lines=${BENCH_LINES:-1000000}
vocabulary=${BENCH_VOCABULARY:-200000}
repeats=${BENCH_REPEATS:-5}
word_list=/usr/share/dict/ngerman
# Zandoret takes at most this many bytes of a line at once.
piece_capacity=199

if [[ ! -f $build/CMakeCache.txt ]]; then
  echo "no configured build in $build (try: cmake --preset release)" >&2
  exit 2
fi
cmake --build "$build" --target Zandoret bench_make_words >/dev/null
zandoret=$build/sorter/Zandoret
make_words=$build/bench/bench_make_words

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs "$@" and writes its wall time in seconds and its peak resident set in
# kB as "seconds kB".
if [[ -x /usr/bin/time ]]; then
  timed() {
    local start=$EPOCHREALTIME
    /usr/bin/time -f %M -o "$work/peak" "$@"
    echo "$(elapsed_since "$start") $(tail -n 1 "$work/peak")"
  }
else
  timed() {
    local start=$EPOCHREALTIME
    "$@"
    echo "$(elapsed_since "$start") n/a"
  }
fi

elapsed_since() { awk -v s="$1" -v e="$EPOCHREALTIME" 'BEGIN { printf "%.3f", e - s }'; }

# The two sides of each comparison, called through bash -c. Arguments:
# input, output. Zandoret runs in its script form, which like the peer
# writes nothing but the list and its counts when it is not watched on a
# terminal.
# shellcheck disable=SC2317
zandoret_list() { "$zandoret" -o "$2" "$1" >"$work/shown"; }
# shellcheck disable=SC2317
zandoret_counts() { "$zandoret" --counts --by-frequency -o "$2" "$1" >"$work/shown"; }
peer_list() { LC_ALL=C sort -u "$1" >"$2"; }
peer_counts() { LC_ALL=C sort "$1" | uniq -c | LC_ALL=C sort -s -k1,1nr >"$2"; }
export zandoret work
export -f zandoret_list zandoret_counts peer_list peer_counts

# Input that Zandoret takes line for line as sort does.
is_plain_list() {
  ! LC_ALL=C grep -q -E $'^$|\r' "$1" &&
    LC_ALL=C awk -v most="$piece_capacity" 'length($0) > most { exit 1 }' "$1"
}

# uniq -c's "  count text" as Zandoret's "text count".
counts_as_zandoret() { awk '{ n = $1; sub(/^ *[0-9]+ /, ""); print $0 " " n }' "$1"; }

cross_check() {
  local input=$1
  if ! is_plain_list "$input"; then
    echo "  cross-check: skipped (empty lines, carriage returns or long lines)"
    return
  fi
  bash -c 'zandoret_list "$0" "$1"' "$input" "$work/z.out"
  peer_list "$input" "$work/p.out"
  bash -c 'zandoret_counts "$0" "$1"' "$input" "$work/zc.out"
  peer_counts "$input" "$work/pc.out"
  counts_as_zandoret "$work/pc.out" >"$work/pc.converted"
  local list=same counts=same
  cmp -s "$work/z.out" "$work/p.out" || list=DIFFERENT
  cmp -s "$work/zc.out" "$work/pc.converted" || counts=DIFFERENT
  echo "  cross-check: list $list as sort -u; counts $counts as sort | uniq -c | sort"
  [[ $list == same && $counts == same ]] || status=1
}

median() { sort -n | awk '{ v[NR] = $1 } END { m = int((NR + 1) / 2); print (NR % 2) ? v[m] : (v[m] + v[m + 1]) / 2 }'; }

# Times both sides `repeats` times, taking turns, and prints one line of
# figures. Arguments: the Zandoret function, the peer function, the input,
# the label of the line.
compare() {
  local ours=$1 peer=$2 input=$3 label=$4
  : >"$work/ours.times"
  : >"$work/peer.times"
  for ((i = 0; i < repeats; ++i)); do
    timed bash -c "$ours \"\$0\" \"\$1\"" "$input" "$work/o.out" >>"$work/ours.times"
    timed bash -c "$peer \"\$0\" \"\$1\"" "$input" "$work/p.out" >>"$work/peer.times"
  done
  local ours_time peer_time ours_peak peer_peak
  ours_time=$(cut -d' ' -f1 "$work/ours.times" | median)
  peer_time=$(cut -d' ' -f1 "$work/peer.times" | median)
  ours_peak=$(cut -d' ' -f2 "$work/ours.times" | sort -n | tail -n 1)
  peer_peak=$(cut -d' ' -f2 "$work/peer.times" | sort -n | tail -n 1)
  awk -v l="$label" -v a="$ours_time" -v b="$peer_time" -v ma="$ours_peak" -v mb="$peer_peak" \
    'BEGIN { printf "  %-22s Zandoret %7.3f s %8s kB | peer %7.3f s %8s kB | ratio %.2f\n",
             l, a, ma, b, mb, a / b }'
}

# A first run, untimed, gives the counts and brings the input into the
# file cache.
bench_input() {
  local name=$1 input=$2
  bash -c 'zandoret_list "$0" "$1"' "$input" "$work/z.out"
  local entries duplicates
  entries=$(sed -n 's/^Anz. Saetze: //p' "$work/shown")
  duplicates=$(sed -n 's/^Elim. Doppeleintraege: //p' "$work/shown")
  echo "$name: $(wc -l <"$input") lines, $entries entries, $duplicates duplicates"
  cross_check "$input"
  compare zandoret_list peer_list "$input" "list"
  compare zandoret_counts peer_counts "$input" "counts by frequency"
}

status=0
echo "Zandoret against $(sort --version | head -n 1) on $(nproc) processors;" \
  "median wall time of $repeats runs, peak memory, ratio Zandoret / peer"
"$make_words" "$lines" "$vocabulary" >"$work/generated.txt"
bench_input "generated ($vocabulary-word vocabulary, Zipf)" "$work/generated.txt"
if [[ -r $word_list ]]; then
  bench_input "$word_list" "$word_list"
  shuf --random-source=<(yes) "$word_list" >"$work/shuffled.txt"
  bench_input "$word_list, shuffled" "$work/shuffled.txt"
else
  echo "$word_list: not installed (apt-get install wngerman), skipped"
fi
exit $status

#!/usr/bin/env bash
# The summary of a large profile: the bundled suite's items repeated to
# BENCH_ITEMS items, run once with -test -profile, then -summary of that
# profile timed BENCH_REPEATS times. With a second program (an older build,
# say) both sum up the same profile, taking turns in every repetition so
# that a busy machine slows both alike. Prints the profile's size and, per
# program, the median wall time and the median user CPU time.
#
#   bench/summary_bench.sh [build-directory [other-Mirask]]   (default: build/release)
#
# Environment: BENCH_ITEMS (100000), BENCH_REPEATS (5).
set -euo pipefail
export LC_ALL=C

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/release}" && pwd)
other=${2:-}
items=${BENCH_ITEMS:-100000}
repeats=${BENCH_REPEATS:-5}

if [[ ! -f $build/CMakeCache.txt ]]; then
  echo "no configured build in $build (try: cmake --preset release)" >&2
  exit 2
fi
cmake --build "$build" --target Mirask >/dev/null
mirask=$build/analyser/Mirask
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -R "$root/examples/." "$work/"
cd "$work"

grep -v -e '^\$' -e '^[[:space:]]*$' saetze.suite > items.txt
awk -v n="$items" '{ line[NR] = $0 } END { for (i = 0; i < n; i++) print line[i % NR + 1] }' \
  items.txt > big.suite
"$mirask" -c mirask.cfg -test big.suite -profile big.profile > /dev/null
echo "profile: $items items, $(( $(wc -c < big.profile) / 1000000 )) MB"

# Appends "WALL USER" of one -summary run of program $1 to file $2.
time_summary() {
  /usr/bin/time -f '%e %U' -o time.out "$1" -summary big.profile > /dev/null
  cat time.out >> "$2"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

programs=("$mirask")
[[ -n $other ]] && programs+=("$other")
for ((r = 0; r < repeats; r++)); do
  for p in "${!programs[@]}"; do time_summary "${programs[$p]}" "times.$p"; done
done
for p in "${!programs[@]}"; do
  printf '%-40s wall %s s, user %s s (medians of %d)\n' "${programs[$p]}" \
    "$(cut -d' ' -f1 "times.$p" | median)" "$(cut -d' ' -f2 "times.$p" | median)" "$repeats"
done

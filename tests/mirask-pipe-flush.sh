#!/usr/bin/env bash
# From a pipe, each sentence's result reaches the output before the next
# line arrives, though output to a file goes in large blocks: a program
# that talks to the analyser line by line never waits for its answer.
#   tests/mirask-pipe-flush.sh MIRASK EXAMPLES_DIR
set -u
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
examples=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'exec 3>&-; kill "$run" 2>/dev/null; rm -rf "$work"' EXIT
cd "$examples" || exit 2
failed=0

# Waits up to ten seconds for the file `$1` to hold the text `$2`.
wait_for_text() {
  for _ in $(seq 100); do
    grep -q "$2" "$1" && return 0
    sleep 0.1
  done
  return 1
}

# The output without what differs between two runs anyway.
timeless() { grep -v '^Zeit:' | sed 's/"time_us":[0-9]*//'; }

for mode in -penn -json ""; do
  rm -f "$work/lines"
  mkfifo "$work/lines"
  "$program" -c mirask.cfg -i /dev/stdin $mode <"$work/lines" >"$work/out" 2>/dev/null &
  run=$!
  exec 3>"$work/lines"
  echo "Der Hund bellt." >&3
  # Every output names the stem of the verb.
  wait_for_text "$work/out" BELL || { echo "--- ${mode:-printout}: no result before the next line"; failed=1; }
  echo "Ich schlafe." >&3
  exec 3>&-
  wait "$run"
  printf 'Der Hund bellt.\nIch schlafe.\n' >"$work/in.txt"
  expected=$("$program" -c mirask.cfg -i "$work/in.txt" $mode 2>/dev/null | timeless)
  [[ $(timeless <"$work/out") == "$expected" ]] || { echo "--- ${mode:-printout}: other output"; failed=1; }
done
((failed == 0)) && echo "every result came before the next line"
exit $failed

#!/usr/bin/env bash
# Runs one end-to-end case: tests/run_case.sh PROGRAM CASE_DIR
#
# A case directory holds:
#   args        the command-line arguments, one per line (may be empty or missing)
#   stdin       what standard input receives (missing: nothing)
#   stdout      the expected standard output (missing: not compared)
#   stderr      the expected standard error (missing: not compared)
#   status      the expected exit status (missing: 0)
#   expect/F    the expected content of file F written by the program
#   setup       a script run in the scratch directory first (to generate large inputs)
#   ulimit      a limit of virtual memory in KiB for the program, to make it run out
#               of memory; such a case is skipped (status 77) for sanitizer builds,
#               whose shadow memory does not fit under a small limit
# and any input files the arguments name. Any of these may come from the
# case's base instead, the files it shares with other cases (see
# assemble_case.sh). The program runs in a scratch directory that holds the
# case's base and the case. Node identities ("0x..." and "(nil)"), the figure
# of the timing line, the "time_us" of JSON records and the figures of a
# suite summary's time line are normalised on both sides before the
# comparison.
# With UPDATE=1 the expected stdout, stderr and status are rewritten instead,
# in the case directory; a case that takes one of them from its base gets a
# file of its own only when the new content differs from the base's.
set -u
program=$1
case_dir=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$(dirname "$0")/assemble_case.sh" "$case_dir" "$work" || exit 2
cd "$work" || exit 2

memory_limit=unlimited
if [ -f ulimit ]; then
  if ldd "$program" 2>/dev/null | grep -q -E 'libasan|libubsan'; then
    echo "skipped: memory limit cases need a build without sanitizers"; exit 77
  fi
  memory_limit=$(cat ulimit)
fi
[ -f setup ] && { bash setup || { echo "--- setup failed"; exit 1; }; }

args=()
if [ -f args ]; then
  while IFS= read -r line || [ -n "$line" ]; do args+=("$line"); done < args
fi
input=/dev/null
[ -f stdin ] && input=stdin

(ulimit -v "$memory_limit" && exec "$program" "${args[@]}") < "$input" > actual_stdout 2> actual_stderr
actual_status=$?

normalise() {
  sed -E -e 's/0x[0-9a-f]+/PTR/g' -e 's/\(nil\)/PTR/g' -e 's/Zeit:-?[0-9]+/Zeit:N/g' \
      -e 's/"time_us":[0-9]+/"time_us":N/g' -e 's/^(  time: +).*/\1N/' "$1"
}

# Writes NEW as the case's expected file NAME, unless the case has no file of
# its own and what its base gives (in the scratch directory) compares equal.
update() {  # name new
  if [ -f "$case_dir/$1" ] || ! cmp -s <(normalise "$1" 2>/dev/null) <(normalise "$2"); then
    cp "$2" "$case_dir/$1"
  fi
}
if [ "${UPDATE:-0}" = 1 ]; then
  [ -f stdout ] && update stdout actual_stdout
  [ -f stderr ] || [ -s actual_stderr ] && update stderr actual_stderr
  echo "$actual_status" > actual_status_file
  [ -f status ] || echo 0 > status  # no status file expects 0
  update status actual_status_file
  exit 0
fi

failed=0
compare() {  # expected actual what
  if ! diff -u <(normalise "$1") <(normalise "$2") > diff_out; then
    echo "--- $3 differs:"; cat diff_out; failed=1
  fi
}
[ -f stdout ] && compare stdout actual_stdout "standard output"
[ -f stderr ] && compare stderr actual_stderr "standard error"
expected_status=0
[ -f status ] && expected_status=$(cat status)
if [ "$actual_status" != "$expected_status" ]; then
  echo "--- exit status $actual_status, expected $expected_status"; failed=1
fi
if [ -d expect ]; then
  for f in expect/*; do
    name=$(basename "$f")
    if [ ! -f "$name" ]; then echo "--- file $name was not written"; failed=1; continue; fi
    compare "$f" "$name" "file $name"
  done
fi
exit $failed

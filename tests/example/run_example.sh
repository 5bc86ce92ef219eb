#!/usr/bin/env bash
# Golden end-to-end run of the analyser on the bundled German example:
#   tests/example/run_example.sh MIRASK EXAMPLES_DIR
#
# Runs, in a scratch copy of the examples directory,
#   Mirask -c mirask.cfg -i saetze.txt -tree -subcat   (against expected_stdout)
#   Mirask -c mirask.cfg -i mehrdeutig.txt -list       (against expected_list_stdout)
# The second run shows every complete SATZ node of the ambiguous sentences
# in the node list. Node identities ("0x..." and "(nil)") and the figure of
# the timing line are normalised on both sides; the exit status must be 1,
# the analyser's status after its normal end. The first run again with
# -status, as scripts/example runs it, must give the same output and status 0.
# With UPDATE=1 the expected files are rewritten instead.
set -u
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
examples=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -R "$examples"/. "$work"/
cd "$work" || exit 2

normalise() {
  sed -E -e 's/0x[0-9a-f]+/PTR/g' -e 's/\(nil\)/PTR/g' -e 's/Zeit:-?[0-9]+/Zeit:N/g' "$1"
}

failed=0
run() {  # expected-file expected-status args...
  local expected=$1 expected_status=$2; shift 2
  "$program" "$@" < /dev/null > actual_stdout 2> actual_stderr
  local status=$?
  if [ "${UPDATE:-0}" = 1 ]; then
    normalise actual_stdout > "$here/$expected"
    return
  fi
  if ! diff -u <(normalise "$here/$expected") <(normalise actual_stdout) > diff_out; then
    echo "--- standard output of Mirask $* differs from $expected:"; cat diff_out; failed=1
  fi
  if [ -s actual_stderr ]; then
    echo "--- unexpected standard error of Mirask $*:"; cat actual_stderr; failed=1
  fi
  if [ "$status" != "$expected_status" ]; then
    echo "--- exit status $status of Mirask $*, expected $expected_status"; failed=1
  fi
}

run expected_stdout 1 -c mirask.cfg -i saetze.txt -tree -subcat
run expected_list_stdout 1 -c mirask.cfg -i mehrdeutig.txt -list
[ "${UPDATE:-0}" = 1 ] || run expected_stdout 0 -c mirask.cfg -i saetze.txt -tree -subcat -status
exit $failed

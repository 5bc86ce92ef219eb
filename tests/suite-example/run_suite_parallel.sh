#!/usr/bin/env bash
# The README's GNU parallel session on the bundled example:
#   tests/suite-example/run_suite_parallel.sh MIRASK EXAMPLES_DIR
#
# Splits the bundled suite by lines with "parallel --pipe -N 20 --keep-order",
# runs every part from standard input with its profile on standard output,
# and checks that -summary of the concatenated profile prints what the run
# of the whole suite prints (line numbers included, time figures aside), and
# that "-compare OLD -summary NEW" lists what the whole run's -compare lists.
# Done on a copy of the example without the rule "GRAD + ADJS = ADJS", so
# that items fail. Skipped (status 77) where GNU parallel is missing.
set -u
command -v parallel > /dev/null || { echo "skipped: GNU parallel is not installed"; exit 77; }
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
examples=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -R "$examples"/. "$work"/
cd "$work" || exit 2

normalise() { sed -E -e 's/^(  time: +).*/\1N/' -e 's/^stdin:/saetze.suite:/' "$@"; }
startup() { sed -e '/^Regeln geladen\.$/d' -e '/^Lexikon geladen\.$/d' -e '/^Endungen geladen\.$/d'; }
failed=0
fail() { echo "--- $*"; failed=1; }

"$program" -c mirask.cfg -test saetze.suite -profile full.profile > /dev/null
grep -v '^GRAD + ADJS = ADJS' "$examples/regeln.txt" > regeln.txt

"$program" -c mirask.cfg -test saetze.suite -compare full.profile < /dev/null > whole 2> /dev/null
parallel --pipe -N 20 --keep-order "$program" -c mirask.cfg -test - -profile - \
  < saetze.suite > parts.profile 2> parallel.err
status=$?
# parallel's status is the number of parts that failed: the three broken
# items stand in lines 17, 23 and 78, so in parts 1, 2 and 4.
[ "$status" = 3 ] || fail "parallel ended with status $status, expected 3"
[ "$(grep -c '^{"profile"' parts.profile)" = 5 ] || fail "parts.profile does not hold 5 parts"

"$program" -compare full.profile -summary parts.profile < /dev/null > summary 2> /dev/null
status=$?
[ "$status" = 2 ] || fail "-summary ended with status $status, expected 2"
if ! diff -u <(startup < whole | normalise) <(normalise summary) > diff_out; then
  fail "the summary of the parts differs from the run of the whole suite:"; cat diff_out
fi
grep -q '^Changes against full.profile: 3 worse, 0 better, 0 different, 0 new, 0 gone; 77 unchanged$' \
  summary || fail "the comparison does not list exactly three items as worse"
exit $failed

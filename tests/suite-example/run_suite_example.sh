#!/usr/bin/env bash
# Test suites on the bundled German example:
#   tests/suite-example/run_suite_example.sh MIRASK EXAMPLES_DIR
#
# In a scratch copy of the examples directory:
#   1. Mirask -c mirask.cfg -test saetze.suite passes with status 0
#      (standard output against expected_pass);
#   2. with the rule "GRAD + ADJS = ADJS" removed from regeln.txt the suite
#      fails with status 2 and names the items that need the rule
#      (expected_broken), and -compare against the profile of the full
#      grammar lists exactly those items as worse (expected_compare);
#   3. every item is analysed as a plain run analyses its sentence: the JSON
#      record in the profile is the one "-json -list" writes for the same
#      sentence, every node included, and the first analysis is the one the
#      printout shows;
#   4. the suite split into parts of 20 lines, each part run on its own from
#      standard input, the profiles concatenated: -summary and "-compare
#      -summary" print what the run of the whole suite prints, the items'
#      line numbers included;
#   5. the UTF-8 copy of the example (examples/utf8) with the suite in UTF-8
#      lists every item (-v) as the 7-bit run does, in UTF-8;
#   6. the progress line appears on a terminal (through script(1), when the
#      machine has it) and nowhere else;
#   7. coverage: without the three items that need "GRAD + ADJS = ADJS" the
#      suite names that rule as used by no analysis, and the profiles of the
#      suite's two halves, summed up, give the whole run's coverage.
# The time figures of the summary are normalised. With UPDATE=1 the expected
# files are rewritten instead.
set -u
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
examples=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/full" "$work/broken"
cp -R "$examples"/. "$work/full"/
cp -R "$examples"/. "$work/broken"/
grep -v '^GRAD + ADJS = ADJS' "$examples/regeln.txt" > "$work/broken/regeln.txt"

failed=0
fail() { echo "--- $*"; failed=1; }
normalise() { sed -E -e 's/^(  time: +).*/\1N/' -e 's/Zeit:-?[0-9]+/Zeit:N/' "$@"; }
# Runs Mirask in directory $1 with the remaining arguments; standard output
# in $work/out, standard error in $work/err, status in $status.
run() {
  local dir=$1; shift
  (cd "$dir" && "$program" "$@") < /dev/null > "$work/out" 2> "$work/err"
  status=$?
}
expect_status() { [ "$status" = "$1" ] || fail "exit status $status of Mirask $2, expected $1"; }
golden() {  # expected-file what
  if [ "${UPDATE:-0}" = 1 ]; then normalise "$work/out" > "$here/$1"; return; fi
  diff -u "$here/$1" <(normalise "$work/out") > "$work/diff" || { fail "$2 differs from $1:"; cat "$work/diff"; }
}
same() {  # file-a file-b what
  diff -u "$1" "$2" > "$work/diff" || { fail "$3:"; head -40 "$work/diff"; }
}

# 1. The bundled suite passes.
run "$work/full" -c mirask.cfg -test saetze.suite -profile full.profile
expect_status 0 "-test saetze.suite"
golden expected_pass "the run of the bundled suite"
[ -s "$work/err" ] && fail "unexpected standard error: $(cat "$work/err")"

# 2. One rule less: the items that need it fail, and are worse than before.
run "$work/broken" -c mirask.cfg -test saetze.suite -profile broken.profile
expect_status 2 "-test saetze.suite (rule removed)"
golden expected_broken "the run without the rule"
cp "$work/out" "$work/broken-run"
run "$work/broken" -c mirask.cfg -test saetze.suite -compare ../full/full.profile
expect_status 2 "-test saetze.suite -compare"
golden expected_compare "the comparison with the full grammar"
cp "$work/out" "$work/broken-compare"

# 3. Items are analysed as a plain run analyses their sentences.
cd "$work/full" || exit 2
grep -v -e '^\$' -e '^[[:space:]]*$' saetze.suite | sed -e 's/^\*//' -e 's/\t.*//' > sentences.txt
"$program" -c mirask.cfg -test saetze.suite -list -profile list.profile > /dev/null
sed -n 's/.*,"record":\(.*\)}$/\1/p' list.profile | sed 's/,"time_us":[0-9]*//' > suite-records
"$program" -c mirask.cfg -json -list -i sentences.txt 2> /dev/null | sed 's/,"time_us":[0-9]*//' \
  > plain-records
[ "$(wc -l < suite-records)" -gt 70 ] || fail "too few records in the profile"
same plain-records suite-records "the records of -test differ from those of a plain run"
"$program" -c mirask.cfg -i sentences.txt | sed -n 's/^Analyse: //p' > plain-analyses
sed -n 's/.*"found":{[^}]*"analysis":"\([^"]*\)".*/\1/p' full.profile > suite-analyses
same plain-analyses suite-analyses "the first analyses of -test differ from the printout's"

# 4. Parts of the suite run one by one make the profile of the whole.
cd "$work/broken" || exit 2
split -l 20 saetze.suite part-
for part in part-*; do
  "$program" -c mirask.cfg -test - -profile - < "$part" >> parts.profile 2> /dev/null
done
whole_report() { sed -e '/^Regeln geladen\.$/d' -e '/^Lexikon geladen\.$/d' -e '/^Endungen geladen\.$/d' "$1" |
  normalise; }
parts_report() { sed -e 's/^stdin:/saetze.suite:/' "$1" | normalise; }
run "$work/broken" -summary parts.profile
expect_status 2 "-summary parts.profile"
same <(whole_report "$work/broken-run") <(parts_report "$work/out") \
  "the summary of the parts differs from the run of the whole suite"
run "$work/broken" -compare ../full/full.profile -summary parts.profile
expect_status 2 "-compare -summary parts.profile"
same <(whole_report "$work/broken-compare") <(parts_report "$work/out") \
  "the comparison of the parts differs from that of the whole suite"

# 5. The suite in UTF-8.
letters() {
  sed -e 's/\[/Ä/g' -e 's/\]/Ü/g' -e 's/\^/ẞ/g' -e 's/{/ä/g' -e 's/|/ö/g' -e 's/}/ü/g' -e 's/~/ß/g' "$@"
}
seven_bit() {
  sed -e 's/Ä/[/g' -e 's/Ü/]/g' -e 's/ẞ/^/g' -e 's/Ö/\\/g' -e 's/ä/{/g' -e 's/ö/|/g' -e 's/ü/}/g' \
      -e 's/ß/~/g' "$@"
}
letters "$examples/saetze.suite" > "$work/utf8.suite"
run "$work/full" -c mirask.cfg -v -test saetze.suite
sed -n '/^saetze.suite:/,$p' "$work/out" | normalise > "$work/seven-bit"
run "$examples/utf8" -c mirask.cfg -utf8 -v -test "$work/utf8.suite"
expect_status 0 "-utf8 -test"
sed -n "s|^$work/utf8.suite:|saetze.suite:|; s|^\.\./utf8/||; /^saetze.suite:/,\$p" "$work/out" | seven_bit | normalise \
  > "$work/utf8"
[ "$(grep -c ': pass: ' "$work/utf8")" = 80 ] || fail "the UTF-8 run does not list 80 passing items"
same "$work/seven-bit" "$work/utf8" "the UTF-8 run differs from the 7-bit one"

# 6. The progress line: on a terminal only.
run "$work/full" -c mirask.cfg -test saetze.suite
[ -s "$work/err" ] && fail "a progress line on standard error that is no terminal"
if command -v script > /dev/null; then
  (cd "$work/full" && script -qec "'$program' -c mirask.cfg -test saetze.suite" /dev/null) \
    < /dev/null > "$work/tty" 2>&1
  grep -aq '80 of 80 items, 0 failing' "$work/tty" || fail "no progress line on a terminal"
else
  echo "note: script(1) missing, the progress line on a terminal is not tested"
fi
# 7. What the suite leaves untested.
cd "$work/full" || exit 2
sed -e '17d' -e '23d' -e '78d' saetze.suite > without-grad.suite
run "$work/full" -c mirask.cfg -test without-grad.suite
expect_status 0 "-test without-grad.suite"
grad_line=$(grep -n '^GRAD + ADJS = ADJS' regeln.txt | cut -d: -f1)
grep -qx "regeln.txt:$grad_line: rule 7 (GRAD + ADJS = ADJS) used by no analysis" "$work/out" ||
  fail "the rule of the items left out is not named as unused"
coverage() { grep -e '^regeln.txt:' -e '^  rules used:' -e '^  lexicon entries read:' "$@"; }
run "$work/full" -c mirask.cfg -test saetze.suite
coverage "$work/out" > whole-coverage
head -n 50 saetze.suite > first.suite
tail -n +51 saetze.suite > second.suite
"$program" -c mirask.cfg -test first.suite -profile halves.profile > /dev/null
"$program" -c mirask.cfg -test second.suite -profile second.profile > /dev/null
run "$work/full" -summary halves.profile second.profile
[ "$(grep -c '^  rules used:' whole-coverage)" = 1 ] || fail "no coverage in the run of the suite"
same whole-coverage <(coverage "$work/out") "the coverage of the two halves differs from the whole's"
exit $failed

#!/usr/bin/env bash
# Batch runs on several threads give the output of one thread: standard
# output, standard error and the exit status of -threads 2 and -threads 3
# are those of -threads 1 (and of a run without the option), on
#   - the bundled example in the printout (with -tree -list -subcat, -all
#     -count -why, the trace), -json, -penn and -dot;
#   - a generated corpus of 600 lines: the example's sentences, unknown
#     words, lines of blanks only, and an empty line near the end that ends
#     the input (the notice of the lines not read);
#   - the same corpus with a grammar that has no "NULL" entry and a number
#     in line 300: the fatal end comes after the 299 sentences before it;
#   - the UTF-8 example with -utf8 and a line that is no UTF-8 (its notice
#     and its record stay in place);
#   - the example suite under -test with its profile on standard output.
# Console input takes -threads and stays on one thread; misused values end
# in the fatal frame. Addresses of the node table, the timing line, "time_us",
# the profile's date and the suite's time figures are normalised: they
# differ between two runs on one thread too.
#   tests/mirask-threads.sh MIRASK EXAMPLES_DIR
set -u
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -R "$2"/. "$work"/ && cd "$work" || exit 2
failed=0

normalise() {
  sed -E -e 's/0x[0-9a-f]+/PTR/g' -e 's/\(nil\)/PTR/g' -e 's/Zeit:-?[0-9]+/Zeit:N/' \
         -e 's/"time_us":[0-9]+/"time_us":N/g' -e 's/"date":"[^"]*"/"date":D/' \
         -e 's/^( *time: ).*/\1N/' "$1"
}

# Runs `Mirask ARGS...` (in the current folder) into $work/out.LABEL.
run_into() {
  local label=$1
  shift
  "$program" "$@" > "$work/out.$label" 2> "$work/err.$label" < /dev/null
  echo "status $?" >> "$work/err.$label"
  normalise "$work/out.$label" > "$work/out.$label.n"
  normalise "$work/err.$label" > "$work/err.$label.n"
}

# The normalised outputs $1.$2 and $1.$3 are the same; $4 names the case.
same_output() {
  if ! cmp -s "$work/$1.$2.n" "$work/$1.$3.n"; then
    echo "--- $4: $1 of -threads $3 is not that of $2"
    diff "$work/$1.$2.n" "$work/$1.$3.n" | head -10
    failed=1
  fi
}

# Every thread count gives the output of one thread, and standard output is
# that of a run without -threads (whose status follows the other options);
# $1 names the case.
same_on_threads() {
  local name=$1
  shift
  run_into none "$@"
  for threads in 1 2 3; do
    run_into "$threads" "$@" -threads "$threads"
    same_output out 1 "$threads" "$name"
    same_output err 1 "$threads" "$name"
  done
  same_output out none 1 "$name"
}

# The output of the last run holds `text`.
expect_in() {
  if ! grep -q -- "$2" "$work/$1.3"; then
    echo "--- $3: '$2' missing"
    failed=1
  fi
}

same_on_threads "example" -c mirask.cfg -i saetze.txt
same_on_threads "example -tree -list -subcat" -c mirask.cfg -i saetze.txt -tree -list -subcat
same_on_threads "example -all -count -why" -c mirask.cfg -i saetze.txt -all -count -why -words
same_on_threads "example -t" -c mirask.cfg -i saetze.txt -t
for format in -json -penn -dot; do
  same_on_threads "example $format" -c mirask.cfg -i saetze.txt "$format" -all
done

# The corpus: 600 lines, the example's sentences between unknown words and
# lines of blanks, an empty line at 590.
awk '{ line[NR] = $0 } END {
       for (i = 1; i <= 600; ++i) {
         if (i == 590) print ""
         else if (i % 7 == 0) print "Der Xqzzy bellt."
         else if (i % 11 == 0) print "   "
         else print line[i % NR + 1]
       } }' saetze.txt > corpus.txt
same_on_threads "corpus" -c mirask.cfg -i corpus.txt -count
expect_in err "10 lines after it were not read" "corpus"
same_on_threads "corpus -json" -c mirask.cfg -i corpus.txt -json -why
expect_in out '"number":589,' "corpus -json"
same_on_threads "corpus -penn" -c mirask.cfg -i corpus.txt -penn

# A grammar without the "NULL" entry: the number of line 300 (the only one)
# ends the run.
grep -v '^NULL' lexikon.txt > lexikon.ohne-null
sed 's/^lexikon.txt$/lexikon.ohne-null/' mirask.cfg > ohne-null.cfg
grep -v '[0-9]' corpus.txt |
  awk 'NR == 300 { print "Ich habe 3 Hunde." } NR != 300 { print }' > fatal.txt
same_on_threads "fatal end" -c ohne-null.cfg -i fatal.txt -status
expect_in out "Kategorie NULL nicht definiert" "fatal end"
expect_in err "status 1" "fatal end"
same_on_threads "fatal end -json" -c ohne-null.cfg -i fatal.txt -json
expect_in out '"number":299,' "fatal end -json"

# -utf8: line 5 is no UTF-8.
awk 'NR == 5 { printf "Der Hund \xff bellt.\n" } { print }' utf8/saetze.txt > utf8/kaputt.txt
cd utf8
same_on_threads "-utf8" -c mirask.cfg -i kaputt.txt -utf8
expect_in out "sentence skipped" "-utf8"
same_on_threads "-utf8 -json" -c mirask.cfg -i kaputt.txt -utf8 -json
expect_in out '"outcome":"unreadable"' "-utf8 -json"
cd "$work"

same_on_threads "-test" -c mirask.cfg -test saetze.suite -profile - -v
expect_in err "status 0" "-test"
cp regeln.txt regeln.ganz
grep -v '^GRAD + ADJS = ADJS' regeln.ganz > regeln.txt
same_on_threads "-test, failing items" -c mirask.cfg -test saetze.suite
expect_in err "status 2" "-test, failing items"
cp regeln.ganz regeln.txt

# Console input: -threads is taken and the run stays on one thread.
"$program" -c mirask.cfg -json < saetze.txt > console.1 2> /dev/null
"$program" -c mirask.cfg -json -threads 2 < saetze.txt > console.2 2> /dev/null
if ! cmp -s <(normalise console.1) <(normalise console.2); then
  echo "--- console input with -threads 2 differs"
  failed=1
fi

# -threads 0 is one thread per core; misused values end the run.
run_into none -c mirask.cfg -i saetze.txt -json
run_into 0 -c mirask.cfg -i saetze.txt -json -threads 0
same_output out none 0 "-threads 0"
for arguments in "-threads x" "-threads -1" "-threads 257" "-max-body 9"; do
  # shellcheck disable=SC2086
  text=$("$program" -c mirask.cfg -i saetze.txt $arguments 2>&1)
  status=$?
  case $arguments in
    -max-body*) wanted="------ -max-body goes with -serve ------" ;;
    *) wanted="------ -threads needs a whole number from 0 (one per core) to 256 ------" ;;
  esac
  if [ "$status" != 1 ] || ! grep -qF -- "$wanted" <<< "$text"; then
    echo "--- $arguments: status $status, not '$wanted'"
    failed=1
  fi
done
exit $failed

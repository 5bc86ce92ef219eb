#!/usr/bin/env bash
# The bundled example in UTF-8 (examples/utf8/) gives with -utf8 exactly
# the analyses of the 7-bit example, once both outputs are written in the
# same encoding: the printout with values and node tables line by line, the
# trees with every line as wide in characters, the JSON records alike; and it
# reads its own files: the same printout comes out of a copy without the
# 7-bit grammar, and from the folder above its configuration stops at its
# message file instead of reading the 7-bit one. The committed copy must
# also be what examples/utf8/make-copy.sh makes.
#   tests/mirask-utf8-example.sh MIRASK EXAMPLES_DIR
set -eu
program=$1
examples=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/copy"
cp -R "$examples"/. "$work/copy"/
"$work/copy/utf8/make-copy.sh"
diff -r "$examples/utf8" "$work/copy/utf8" || { echo "--- examples/utf8 is stale"; exit 1; }

normalise() { sed -e 's/0x[0-9a-f]*/PTR/g' -e 's/(nil)/PTR/g' -e 's/Zeit:-\?[0-9]*/Zeit:N/'; }
letters() {
  sed -e 's/\[/Ä/g' -e 's/\]/Ü/g' -e 's/\^/ẞ/g' -e 's/{/ä/g' -e 's/|/ö/g' -e 's/}/ü/g' \
      -e 's/~/ß/g' -e 's/\\/Ö/g'
}
run() {  # dir options... (status 1 for the classic options alone, 0 with -utf8)
  local dir=$1
  shift
  (cd "$dir" && "$program" -c mirask.cfg -i saetze.txt "$@") || [ $? = 1 ]
}
# The banner and usage (four lines) are the program's own text, not converted.
run "$examples" -subcat -list | tail -n +5 | letters | normalise > "$work/seven"
run "$examples/utf8" -utf8 -subcat -list | tail -n +5 | normalise > "$work/eight"
diff "$work/seven" "$work/eight" || { echo "--- the printouts differ"; exit 1; }

# Which files the UTF-8 configuration reads: none of the 7-bit ones.
rm "$work/copy"/{meldungen,regeln,lexikon,endungen}.txt
run "$work/copy/utf8" -utf8 -subcat -list | tail -n +5 | normalise > "$work/eight-alone"
diff "$work/eight" "$work/eight-alone" || { echo "--- the UTF-8 example reads the 7-bit files"; exit 1; }
cp "$examples"/{meldungen,regeln,lexikon,endungen}.txt "$work/copy"/
status=0
(cd "$work/copy" && "$program" -c utf8/mirask.cfg -i utf8/saetze.txt -utf8) > "$work/above" \
  || status=$?
grep -q -F -- "------ Message file ------" "$work/above" && [ $status = 1 ] \
  || { echo "--- run from examples/, the UTF-8 configuration loads other files"; exit 1; }

# The timing line's figure varies with the load of the machine.
run "$examples" -tree | normalise > "$work/seven-tree"
run "$examples/utf8" -utf8 -tree | normalise > "$work/eight-tree"
/usr/bin/python3 - "$work/seven-tree" "$work/eight-tree" <<'PY'
import sys
seven = open(sys.argv[1], encoding="latin-1").read().splitlines()
eight = open(sys.argv[2], encoding="utf-8").read().splitlines()
assert len(seven) == len(eight), "the tree printouts have different numbers of lines"
for n, (a, b) in enumerate(zip(seven, eight), 1):
    if len(a) != len(b):
        sys.exit("line %d: %d characters against %d" % (n, len(a), len(b)))
PY

run "$examples" -json 2> /dev/null | sed 's/"time_us":[0-9]*/"time_us":0/' > "$work/seven.json"
run "$examples/utf8" -json -utf8 2> /dev/null | sed 's/"time_us":[0-9]*/"time_us":0/' \
  > "$work/eight.json"
diff "$work/seven.json" "$work/eight.json" || { echo "--- the JSON records differ"; exit 1; }
echo "the UTF-8 example gives the analyses of the 7-bit example"

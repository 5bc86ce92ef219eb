#!/usr/bin/env bash
# Debian's German word list (package wngerman) through the sorter's UTF-8
# option, against the same list converted to code page 437 by iconv and
# sorted with "-c" in the dialogue: for the words written only with ASCII
# letters and German umlauts, both must give the same list, the one in the
# 7-bit convention and the other in UTF-8. Then the whole list without "-c":
# it must come back as UTF-8, every line that the 7-bit convention can hold
# once, in the byte order of the 7-bit convention, and the other lines left
# out and counted.
#   tests/zandoret-wngerman.sh PROGRAM [WORD_LIST]
# Skipped (status 77) when the word list, iconv or python3 is missing.
set -euo pipefail
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
list=${2:-/usr/share/dict/ngerman}
if [[ ! -r $list ]]; then
  echo "skipped: $list is not installed (apt-get install wngerman)"
  exit 77
fi
for tool in iconv python3; do
  if ! command -v $tool >/dev/null; then
    echo "skipped: no $tool"
    exit 77
  fi
done
list=$(cd "$(dirname "$list")" && pwd)/$(basename "$list")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# ASCII letters and the UTF-8 forms of Ä Ö Ü ß ä ö ü, nothing else.
LC_ALL=C grep -a -x -E $'([A-Za-z]|\xc3[\x84\x96\x9c\x9f\xa4\xb6\xbc])+' "$list" >words.txt
iconv -f UTF-8 -t CP437 words.txt >words437.txt
printf 'words437.txt\n\nn\nn\ncp437.txt\n' | "$program" -c >dialogue.txt
"$program" -utf8 -c -o utf8.txt words.txt >script.txt

echo "$(wc -l <words.txt) words of ASCII letters and umlauts, $(wc -l <utf8.txt) entries"
# The capitals of the 7-bit convention in UTF-8.
sed -e 's/\[/\xc3\x84/g' -e 's/\\/\xc3\x96/g' -e 's/]/\xc3\x9c/g' -e 's/\^/\xe1\xba\x9e/g' \
  cp437.txt >cp437_as_utf8.txt
if ! cmp cp437_as_utf8.txt utf8.txt; then
  echo "--- the UTF-8 list differs from the code page 437 list"
  exit 1
fi
# The same counts, and none left out.
grep -E '^(Anz|Elim)' dialogue.txt | diff - <(grep -E '^(Anz|Elim)' script.txt)
grep -q -x 'Ausgelassene Zeilen: 0' script.txt

# The whole list, as it is: a run with lines left out ends with status 1.
status=0
"$program" -utf8 -o back.txt "$list" >back_counts.txt || status=$?
python3 - "$list" back.txt back_counts.txt "$status" <<'CHECK'
import sys
list_name, back_name, counts_name, status = sys.argv[1:]
codes = dict(zip("äöüßÄÖÜẞ", "{|}~[\\]^"))
letters = {ord(code): letter for letter, code in codes.items()}
def seven_bit(word):
    return bytes(ord(codes.get(c, c)) for c in word)
def utf8_of(codes_of_word):
    return "".join(letters.get(b, chr(b)) for b in codes_of_word)
words = open(list_name, encoding="utf-8").read().splitlines()
held = [w for w in words if all(ord(c) <= 0xFF or c == "ẞ" for c in w)]
# ASCII "{" and the other codes come back as the letters they stand for.
expected = [utf8_of(w) for w in sorted(set(seven_bit(w) for w in held))]
back = open(back_name, "rb").read().decode("utf-8").splitlines()
left_out = len(words) - len(held)
counts = open(counts_name).read()
problems = []
if back != expected:
    problems.append("the list does not come back as UTF-8 in the order of the 7-bit form")
if "Ausgelassene Zeilen: %d\n" % left_out not in counts:
    problems.append("not %d lines left out: %s" % (left_out, counts))
if status != ("1" if left_out else "0"):
    problems.append("exit status " + status)
print("%d lines back in UTF-8, %d left out" % (len(back), left_out))
for problem in problems:
    print("---", problem)
sys.exit(1 if problems else 0)
CHECK

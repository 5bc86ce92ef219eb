#!/usr/bin/env bash
# Debian's German word list (package wngerman) through the sorter's UTF-8
# option, against the same list converted to code page 437 by iconv and
# sorted with "-c" in the dialogue: for the words written only with ASCII
# letters and German umlauts, both must give the same list.
#   tests/zandoret-wngerman.sh PROGRAM [WORD_LIST]
# Skipped (status 77) when the word list or iconv is missing.
set -euo pipefail
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
list=${2:-/usr/share/dict/ngerman}
if [[ ! -r $list ]]; then
  echo "skipped: $list is not installed (apt-get install wngerman)"
  exit 77
fi
if ! command -v iconv >/dev/null; then
  echo "skipped: no iconv to convert the list to code page 437"
  exit 77
fi
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
if ! cmp cp437.txt utf8.txt; then
  echo "--- the UTF-8 list differs from the code page 437 list"
  exit 1
fi
# The same counts, and none left out.
grep -E '^(Anz|Elim)' dialogue.txt | diff - <(grep -E '^(Anz|Elim)' script.txt)
grep -q -x 'Ausgelassene Zeilen: 0' script.txt

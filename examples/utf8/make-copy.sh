#!/usr/bin/env bash
# Writes the UTF-8 copy of the bundled example into this directory: every
# file with the 7-bit convention's letters ("{" "|" "}" "~" "[" "\" "]" "^")
# written as the letters they stand for (ä ö ü ß Ä Ö Ü ẞ). In the message
# file the backslash stays: there it starts the escapes \n and \r. The
# configuration names the copies as "../utf8/NAME": run in this folder (as
# every configuration, its names are relative to the current folder) they
# are the files beside it, and run anywhere but in a sibling of this folder
# the load stops at the first one instead of reading the 7-bit files.
#   examples/utf8/make-copy.sh     (rerun after a change to the example)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
example=$(dirname "$here")
letters() {
  sed -e 's/\[/Ä/g' -e 's/\]/Ü/g' -e 's/\^/ẞ/g' -e 's/{/ä/g' -e 's/|/ö/g' -e 's/}/ü/g' \
      -e 's/~/ß/g' "$@"
}
for f in regeln.txt lexikon.txt endungen.txt saetze.txt mehrdeutig.txt; do
  letters -e 's/\\/Ö/g' "$example/$f" > "$here/$f"
done
letters "$example/meldungen.txt" > "$here/meldungen.txt"
sed -e '1s|^|../utf8/|' -e '4,6s|^|../utf8/|' "$example/mirask.cfg" > "$here/mirask.cfg"

#!/usr/bin/env bash
# Writes the UTF-8 copy of the bundled example into this directory: every
# file with the 7-bit convention's letters ("{" "|" "}" "~" "[" "\" "]" "^")
# written as the letters they stand for (ä ö ü ß Ä Ö Ü ẞ). In the message
# file the backslash stays: there it starts the escapes \n and \r. The
# configuration names the same files and is copied as it is.
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
cp "$example/mirask.cfg" "$here/mirask.cfg"

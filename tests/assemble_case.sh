#!/usr/bin/env bash
# Assembles one end-to-end case in a directory: tests/assemble_case.sh CASE_DIR DEST
#
# Files that many cases share (a message file, a grammar, the arguments, the
# exit status, an empty expected standard error) live once, in the bases under
# tests/<program>/bases/. DEST receives the files of the case's base, then the
# case's own files, which replace base files of the same name.
#
# Which base: the bases named in the case's file "base" (one a line, in that
# order), else the one base whose file "cases" lists the case's directory
# name (one a line), else "default". "none" stands for no base, and so does a
# missing "default". A case may not be both listed and have a file "base".
#
# A base is a directory: its files, and its directory "expect", are what it
# gives. It builds on the bases around it and named by it, laid down first:
#   - a base in a subdirectory of another builds on that one: bases/quiet/dialogue/
#     is the base "quiet/dialogue" and builds on "quiet";
#   - then the bases named in its own file "base", one a line, in that order.
# Each one laid down replaces files of the same name from the ones before.
#
# A case's file "absent" names base files, one a line, that the case must not
# have (an input file left out on purpose). These files that name bases, cases
# and absent files ("base", "cases", "absent") are not copied into DEST.
set -eu
case_dir=$(cd "$1" && pwd)
dest=$2
case_name=$(basename "$case_dir")
bases=$(dirname "$case_dir")/bases

fail() { echo "assemble_case.sh: $case_name: $*" >&2; exit 2; }

# The lines of a file, without carriage returns.
lines_of() { tr -d '\r' < "$1"; }

# Lays base $1 into DEST after the bases it builds on; $2 counts the levels
# below the case, to stop bases that build on each other in a circle.
lay_base() {  # name depth
  local name=$1 depth=$2 dir=$bases/$1 below
  [ "$name" = none ] && return 0
  [ -d "$dir" ] || fail "no base \"$name\" in $bases"
  [ "$depth" -lt 20 ] || fail "bases build on each other in a circle (at \"$name\")"
  if [ "${name%/*}" != "$name" ]; then lay_base "${name%/*}" $((depth + 1)); fi
  if [ -f "$dir/base" ]; then
    for below in $(lines_of "$dir/base"); do lay_base "$below" $((depth + 1)); done
  fi
  find "$dir" -mindepth 1 -maxdepth 1 -type f ! -name base ! -name cases -exec cp -t "$dest" {} +
  if [ -d "$dir/expect" ]; then cp -R "$dir/expect" "$dest"/; fi
}

listed_by=()
if [ -d "$bases" ]; then
  while IFS= read -r list; do
    list=${list#"$bases"/}
    listed_by+=("${list%/cases}")
  done < <(grep -r -l -x -F --include=cases -- "$case_name" "$bases")
fi
[ ${#listed_by[@]} -le 1 ] || fail "listed by several bases: ${listed_by[*]}"

if [ -f "$case_dir/base" ]; then
  [ ${#listed_by[@]} = 0 ] || fail "has a file \"base\" and is listed by base ${listed_by[0]}"
  for name in $(lines_of "$case_dir/base"); do lay_base "$name" 0; done
elif [ ${#listed_by[@]} = 1 ]; then
  lay_base "${listed_by[0]}" 0
elif [ -d "$bases/default" ]; then
  lay_base default 0
fi
if [ -f "$case_dir/absent" ]; then
  for name in $(lines_of "$case_dir/absent"); do
    [ -e "$dest/$name" ] || fail "absent names $name, which its base does not give"
    rm -rf "${dest:?}/$name"
  done
fi
cp -R "$case_dir"/. "$dest"/
rm -f "$dest/base" "$dest/absent"

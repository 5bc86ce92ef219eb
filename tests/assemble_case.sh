#!/usr/bin/env bash
# Assembles one end-to-end case in a directory: tests/assemble_case.sh CASE_DIR DEST
#
# Files that many cases share (a message file, an endings file, a grammar)
# live once in tests/<program>/bases/<base>/. DEST first receives the files of
# the case's base, then the case's own files, which replace a base file of the
# same name. The base is the one named in the case's file "base", or
# "default" when there is no such file; "none" means no base, for a case that
# needs a shared file to be absent.
set -eu
case_dir=$(cd "$1" && pwd)
dest=$2
bases=$(dirname "$case_dir")/bases
base=default
[ -f "$case_dir/base" ] && base=$(tr -d '\r\n' < "$case_dir/base")
if [ "$base" != none ] && [ -d "$bases/$base" ]; then
  cp -R "$bases/$base"/. "$dest"/
fi
cp -R "$case_dir"/. "$dest"/
rm -f "$dest/base"

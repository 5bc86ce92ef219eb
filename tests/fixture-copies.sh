#!/usr/bin/env bash
# Keeps the end-to-end fixtures shared: tests/fixture-copies.sh TESTS_DIR [LIMIT]
#
# Groups every file under TESTS_DIR by its content and counts the copies, the
# files beyond the first of each group. More than LIMIT (default 150) fails,
# and the groups with copies are listed: a file that many cases need belongs
# in a base (see assemble_case.sh).
set -eu
dir=$1
limit=${2:-150}
cd "$dir"
# md5sum marks a line with a leading "\" when the file name needed escaping.
sums=$(find . -type f -exec md5sum {} + | sed 's/^\\//')
copies=$(awk '{ n[$1]++ } END { for (h in n) if (n[h] > 1) c += n[h] - 1; print c + 0 }' <<< "$sums")
echo "$copies copies of identical files under tests/ (at most $limit)"
if [ "$copies" -gt "$limit" ]; then
  awk '{ n[$1]++; f[$1] = f[$1] " " substr($0, 35) }
       END { for (h in n) if (n[h] > 1) print n[h] - 1 ":" f[h] }' <<< "$sums" | sort -t: -k1,1 -rn
  exit 1
fi

#!/usr/bin/env bash
# A test suite under a lowered address-space limit: the bundled suite 100
# times over (8,000 items), compared with an old profile of it and written
# to a new one, at every limit from 8 MB to 24 MB (in steps of 1 MB) and at
# 32, 48 and 64 MB, must end either with its summary (exit status 0) or with
# a framed text, the memory message of the routine that ran out (exit
# status 1); never an abort, a signal or a word on standard error.
#   tests/suite-example/run_suite_memory_sweep.sh MIRASK EXAMPLES_DIR
# Skipped (status 77) for sanitizer builds, whose shadow memory does not fit.
set -u
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
examples=$(cd "$2" && pwd)
if ldd "$program" 2>/dev/null | grep -q -E 'libasan|libubsan'; then
  echo "skipped: memory limits need a build without sanitizers"; exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -R "$examples"/. "$work"/
cd "$work" || exit 2
for i in $(seq 100); do cat saetze.suite; done > big.suite
"$program" -c mirask.cfg -test big.suite -profile old.profile > /dev/null 2>&1 ||
  { echo "--- the run without a limit failed"; exit 1; }
failed=0
for mb in $(seq 8 24) 32 48 64; do
  (ulimit -v $((mb * 1024)) &&
    exec "$program" -c mirask.cfg -test big.suite -compare old.profile -profile new.profile) \
    < /dev/null > out 2> err
  status=$?
  last=$(tail -n 1 out)
  framed=0
  [[ "$last" == $'\t\t------ '*' ------' ]] && framed=1
  ok=0
  if [ ! -s err ]; then
    [ "$status" = 0 ] && [ $framed = 0 ] && ok=1
    [ "$status" = 1 ] && [ $framed = 1 ] && ok=1
  fi
  if [ $ok = 0 ]; then
    echo "--- at $mb MB: exit status $status, last line '$last', standard error:"; cat err
    failed=1
  else
    echo "$mb MB: status $status, ${last//$'\t'/}"
  fi
done
exit $failed

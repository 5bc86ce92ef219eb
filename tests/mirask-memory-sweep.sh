#!/usr/bin/env bash
# The analyser under a lowered address-space limit: a lexicon of 300,000
# entries loaded at every limit from 8 MB to 64 MB (in steps of 2 MB) must end
# with a framed text, the memory message of the routine that ran out or the
# normal "Ende", and exit status 1; never an abort or a signal.
#   tests/mirask-memory-sweep.sh MIRASK EXAMPLES_DIR
# Skipped (status 77) for sanitizer builds, whose shadow memory does not fit.
set -u
program=$1
examples=$2
if ldd "$program" 2>/dev/null | grep -q -E 'libasan|libubsan'; then
  echo "skipped: memory limits need a build without sanitizers"; exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2
cp "$examples"/meldungen.txt "$examples"/regeln.txt "$examples"/endungen.txt .
awk 'BEGIN { for (i = 0; i < 300000; i++) printf "W%07d=NOMN GEN(1)\n", i }' > lex.txt
printf 'meldungen.txt\n32,44\n46\nregeln.txt\nlex.txt\nendungen.txt\n' > cfg
printf 'W0000001 W0000002\n' > input.txt
failed=0
for mb in $(seq 8 2 64); do
  (ulimit -v $((mb * 1024)) && exec "$program" -c cfg -i input.txt -list) > out 2> err
  status=$?
  last=$(tail -n 1 out)
  if [ "$status" != 1 ] || [[ "$last" != $'\t\t------ '*' ------' ]] || [ -s err ]; then
    echo "--- at $mb MB: exit status $status, last line '$last', standard error:"; cat err
    failed=1
  else
    echo "$mb MB: ${last//$'\t'/}"
  fi
done
exit $failed

#!/usr/bin/env bash
# The sorter's script form replaces an existing output file only with the
# complete list of a run without problems: a run that fails or is killed in
# the middle leaves the old file as it was, byte for byte, and no new file
# beside it.   tests/zandoret-keeps-output.sh PROGRAM
set -u
here=$(cd "$(dirname "$0")" && pwd)
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2
chmod 755 "$work"
old_content=$'kept\nlist\n'
new_file_prefix=.Zandoret-
source "$here/kept-output.sh"

printf 'b\na\nb\n' >in.txt
awk 'BEGIN { for (i = 0; i < 300000; i++) printf "w%06d\n", (i * 7919) % 300000 }' >big.txt

# An input that is missing.
old_output out.txt
"$program" -o out.txt in.txt missing.txt >shown.txt 2>&1
[[ $? == 1 ]] || fail "missing input: exit status not 1"
grep -q -- '--- out.txt bleibt unveraendert ---' shown.txt || fail "missing input: no message"
expect_kept out.txt "missing input"

# An output on a full device: the file size limit of the process.
old_output out.txt
(ulimit -f 8; "$program" -o out.txt big.txt) >shown.txt 2>&1
[[ $? == 1 ]] || fail "full device: exit status not 1"
grep -q -- 'Ueberlauf: out.txt nicht vollstaendig geschrieben' shown.txt || fail "full device: no message"
expect_kept out.txt "full device"

# A folder the program may not write in (as the superuser may write
# anywhere, the run is made as nobody where that can be done).
mkdir locked
old_output locked/out.txt
chmod 666 locked/out.txt
chmod 555 locked
as_nobody=()
if [[ $(id -u) == 0 ]]; then
  if command -v setpriv >/dev/null; then
    as_nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  else
    echo "unwritable folder: skipped (no setpriv to run as nobody)"
  fi
fi
if [[ $(id -u) != 0 || ${#as_nobody[@]} -gt 0 ]]; then
  "${as_nobody[@]}" "$program" -o locked/out.txt in.txt >shown.txt 2>&1
  [[ $? == 1 ]] || fail "unwritable folder: exit status not 1"
  grep -q -- '--- Dateifehler: locked/out.txt ---' shown.txt || fail "unwritable folder: no message"
  old_content=$(cat locked/out.txt; echo .) && old_content=${old_content%.}
  expect_kept locked/out.txt "unwritable folder"
  old_content=$'kept\nlist\n'
fi

# Killed while it reads its input: standard input that does not end.
old_output out.txt
mkfifo lines
"$program" -o out.txt - <lines >/dev/null 2>&1 &
reader=$!
exec 3>lines
printf 'z\ny\n' >&3
sleep 0.2
kill -TERM "$reader"
wait "$reader"
[[ $? == 143 ]] || fail "killed while reading: not ended by the signal"
exec 3>&-
expect_kept out.txt "killed while reading"

# Killed at any moment of a long run: the output is the old list or the
# whole new one, never a part, and no new file stays behind.
"$program" -o whole.txt big.txt >/dev/null
for delay in 0.01 0.03 0.05 0.07 0.09 0.11 0.13 0.15 0.2 0.3; do
  old_output out.txt
  "$program" -o out.txt big.txt >/dev/null 2>&1 &
  run=$!
  sleep "$delay"
  kill -TERM "$run" 2>/dev/null
  wait "$run"
  if ! cmp -s out.txt whole.txt; then expect_kept out.txt "killed after $delay s"; fi
  ! ls -A | grep -q '^\.Zandoret-' || fail "killed after $delay s: a new file was left"
done

# A run without problems replaces the file and keeps its permissions; a
# symbolic link stays and the file it names is replaced.
old_output out.txt
ln -s out.txt link.txt
"$program" -o link.txt in.txt >/dev/null || fail "replacing: exit status not 0"
[[ $(cat out.txt) == $'a\nb' ]] || fail "replacing: not the new list"
[[ -L link.txt ]] || fail "replacing: the link was replaced"
[[ $(stat -c %a out.txt) == 640 ]] || fail "replacing: permissions $(stat -c %a out.txt), not 640"
"$program" -o new.txt in.txt >/dev/null || fail "new file: exit status not 0"
[[ $(stat -c %a new.txt) == $(umask -S >/dev/null; printf '%o' $((0666 & ~$(umask)))) ]] ||
  fail "new file: permissions $(stat -c %a new.txt)"

((failed == 0)) && echo "old output files kept in every failed or killed run"
exit $failed

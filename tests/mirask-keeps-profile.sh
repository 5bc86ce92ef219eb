#!/usr/bin/env bash
# A suite run replaces an existing profile only with the complete profile of
# a run that got to its end: a run that fails or is killed in the middle
# leaves the old file as it was, byte for byte, and no new file beside it.
#   tests/mirask-keeps-profile.sh MIRASK EXAMPLES_DIR
set -u
here=$(cd "$(dirname "$0")" && pwd)
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
examples=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -R "$examples"/. "$work"/
cd "$work" || exit 2
chmod 755 "$work"
old_content=$'{"old":"profile"}\n'
new_file_prefix=.Mirask-
source "$here/kept-output.sh"
grep -v -e '^\$' -e '^[[:space:]]*$' saetze.suite > items.txt
for i in $(seq 400); do cat items.txt; done > big.suite

# A run that gets to its end replaces the profile, keeping its permissions.
old_output p.profile
"$program" -c mirask.cfg -test saetze.suite -profile p.profile > shown.txt 2>&1
[[ $? == 0 ]] || fail "complete run: exit status not 0"
grep -q '^{"end":{"lines":97,"items":80}}$' p.profile || fail "complete run: the profile is not new"
[[ $(stat -c %a p.profile) == 640 ]] || fail "complete run: the permissions changed"
! ls -A | grep -q '^\.Mirask-' || fail "complete run: a new file was left"

# Missing inputs: the suite, the profile to compare with.
old_output p.profile
"$program" -c mirask.cfg -test missing.suite -profile p.profile > shown.txt 2>&1
grep -q 'Test suite not found: missing.suite' shown.txt || fail "missing suite: no message"
expect_kept p.profile "missing suite"
"$program" -c mirask.cfg -test saetze.suite -compare missing.profile -profile p.profile \
  > shown.txt 2>&1
grep -q 'Profile not found: missing.profile' shown.txt || fail "missing old profile: no message"
expect_kept p.profile "missing old profile"

# A profile on a full device: the file size limit of the process.
old_output p.profile
(ulimit -f 64; "$program" -c mirask.cfg -test big.suite -profile p.profile) > shown.txt 2>&1
[[ $? == 1 ]] || fail "full device: exit status not 1"
grep -q 'Profile cannot be written: p.profile' shown.txt || fail "full device: no message"
expect_kept p.profile "full device"

# A run killed in the middle, once its new profile exists.
old_output p.profile
"$program" -c mirask.cfg -test big.suite -profile p.profile > shown.txt 2>&1 &
run=$!
for _ in $(seq 200); do
  ls -A | grep -q '^\.Mirask-' && break
  sleep 0.05
done
kill -TERM "$run"
wait "$run"
[[ $? == 143 ]] || echo "note: the run ended before it was killed"
expect_kept p.profile "killed run"

# A folder the program may not write in (as the superuser may write
# anywhere, the run is made as nobody where that can be done).
mkdir locked
old_output locked/p.profile
chmod 666 locked/p.profile
chmod 555 locked
as_nobody=()
if [[ $(id -u) == 0 ]]; then
  if command -v setpriv > /dev/null; then
    as_nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  else
    echo "unwritable folder: skipped (no setpriv to run as nobody)"
  fi
fi
if [[ $(id -u) != 0 || ${#as_nobody[@]} -gt 0 ]]; then
  "${as_nobody[@]}" "$program" -c mirask.cfg -test saetze.suite -profile locked/p.profile \
    > shown.txt 2>&1
  [[ $? == 1 ]] || fail "unwritable folder: exit status not 1"
  grep -q 'Profile cannot be written: locked/p.profile' shown.txt ||
    fail "unwritable folder: no message"
  expect_kept locked/p.profile "unwritable folder"
fi
chmod 755 locked
exit $failed

#!/usr/bin/env bash
# The sorter's script form against its dialogue, on the dialogue's own
# end-to-end cases: tests/zandoret-script-form.sh PROGRAM CASES_DIR
#
# Every case under CASES_DIR that answers the dialogue up to an output file
# it expects (a "stdin" and an "expect" directory, its own or its base's) is
# run again in a scratch copy, with the command line derived from its
# arguments and answers:
#   "-c", "-utf8" and "-f FILE" as the dialogue's scan takes them (the value
#   of "-f" is scanned as well), the names up to the first empty answer as
#   the inputs (/dev/null when there are none: the script form needs one),
#   "--counts" and "--by-frequency" for answers beginning with "j" or "J",
#   and the last answer as "-o".
# The script form must write the same output file, also to standard output
# with "-o -"; the same counts and standard error, and no progress lines,
# which it writes only to a terminal; and exit with 1 exactly where the
# dialogue reported a file it could not read in full, else 0.
set -u
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
cases=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
failed=0 compared=0

# The command line of the script form for the case in the current directory.
derive_arguments() {
  local old=() answers=() line i
  if [[ -f args ]]; then
    while IFS= read -r line || [[ -n $line ]]; do old+=("$line"); done <args
  fi
  while IFS= read -r line || [[ -n $line ]]; do answers+=("${line%$'\r'}"); done <stdin
  derived=()
  for ((i = 0; i < ${#old[@]}; ++i)); do
    case ${old[i]} in
      -c | -utf8) derived+=("${old[i]}") ;;
      -f) ((i + 1 < ${#old[@]})) && filter=${old[i + 1]} ;;
    esac
  done
  [[ -n ${filter-} ]] && derived+=(-f "$filter")
  unset filter
  inputs=()
  for ((i = 0; i < ${#answers[@]} && ${#answers[i]} > 0; ++i)); do inputs+=("${answers[i]}"); done
  ((${#inputs[@]} > 0)) || inputs=(/dev/null)
  [[ ${answers[i + 1]-} == [jJ]* ]] && derived+=(--counts)
  [[ ${answers[i + 2]-} == [jJ]* ]] && derived+=(--by-frequency)
  output=${answers[${#answers[@]} - 1]}
}

# The counts of a standard output.
counters() { grep -a -E '^Anz\. Saetze: |^Elim\. Doppeleintraege: ' "$1"; }

# Whether the dialogue of the case reported a file it could not read in full.
dialogue_met_a_problem() {
  cat stdout stderr 2>/dev/null | grep -a -q -E \
    -e '--- (nicht gefunden|Lesefehler|Filter File not Found|wrong filter item|Speichermangel)'
}

fail() { echo "--- $name: $*"; bad=1; }

check_case() {
  local bad=0
  derive_arguments
  [[ -f setup ]] && bash setup
  local expected_status=0
  dialogue_met_a_problem && expected_status=1
  "$program" "${derived[@]}" -o "$output" -- "${inputs[@]}" \
    </dev/null >script_stdout 2>script_stderr
  local status=$?
  [[ $status == "$expected_status" ]] || fail "exit status $status, expected $expected_status"
  cmp -s "expect/$output" "$output" || fail "output file differs"
  [[ ! -f stderr ]] || cmp -s stderr script_stderr || fail "standard error differs"
  [[ ! -f stdout ]] || diff <(counters stdout) <(counters script_stdout) || fail "counters differ"
  ! grep -a -q -E '^[0-9]+ Eintraege$' script_stdout script_stderr || fail "progress lines shown"
  "$program" "${derived[@]}" -o - -- "${inputs[@]}" </dev/null >listed 2>/dev/null
  cmp -s "expect/$output" listed || fail "the list on standard output differs"
  return $bad
}

for case_dir in "$cases"/*/; do
  name=$(basename "$case_dir")
  [[ $name == bases ]] && continue
  work=$(mktemp -d)
  "$here/assemble_case.sh" "$case_dir" "$work" || exit 2
  if [[ -f $work/stdin && -d $work/expect ]]; then
    (cd "$work" && check_case) || failed=1
    compared=$((compared + 1))
  fi
  rm -rf "$work"
done
# On a terminal the script form shows its progress lines on standard error.
if command -v script >/dev/null; then
  work=$(mktemp -d)
  seq 250 >"$work/in.txt"
  (cd "$work" && script -q -e -c "$program -o out.txt in.txt 2>&1 >/dev/null" /dev/null \
    </dev/null >shown.txt)
  tr -d '\r' <"$work/shown.txt" | grep -q -x '200 Eintraege' ||
    { echo "--- no progress lines on a terminal"; failed=1; }
  rm -rf "$work"
fi
echo "$compared dialogue cases compared with the script form"
((compared > 0)) || failed=1
exit $failed

# Sourced by the cases that check that a program replaces an output file only
# with complete content. Set `old_content` (what an old output file holds)
# and `new_file_prefix` (how the names of the program's new files begin)
# before calling these.
failed=0
fail() { echo "--- $*"; failed=1; }

# A fresh output file `$1` holding the old content, with permissions of its own.
old_output() {
  printf '%s' "$old_content" >"$1"
  chmod 640 "$1"
}

# Whether the output file `$1` still holds the old content and nothing was
# left beside it; `$2` names the case.
expect_kept() {
  [[ $(cat "$1"; echo .) == "$old_content." ]] || fail "$2: the old output changed"
  ! ls -A "$(dirname "$1")" | grep -q "^$new_file_prefix" || fail "$2: a new file was left"
}

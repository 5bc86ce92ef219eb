#!/usr/bin/env bash
# Builds the seed corpora of all harnesses: fuzz/collect_seeds.sh DEST
# makes DEST/<harness>/ for every harness and fills it with the committed
# seeds of fuzz/seeds/<harness>/ and with inputs taken from the bundled
# examples and the end-to-end cases (tests/<program>/<case>/), so that no
# copy of those files has to live in the repository.
#
# Harnesses that take several files at once get them packed as the harness
# expects: the parts joined by a line "%%".
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
dest=$1
examples=$root/examples
harnesses=$(grep -E "^[a-z]" "$root/fuzz/harnesses.txt" | cut -d" " -f1)

for h in $harnesses; do
  mkdir -p "$dest/$h"
  if [ -d "$root/fuzz/seeds/$h" ]; then cp "$root/fuzz/seeds/$h"/* "$dest/$h"/ 2>/dev/null || true; fi
done

# The argument behind OPTION in the case's args file (one argument a line).
arg_after() {  # case_dir option
  [ -f "$1/args" ] || return 0
  awk -v opt="$2" 'found { print; exit } $0 == opt { found = 1 }' "$1/args" | tr -d '\r'
}
has_arg() { [ -f "$1/args" ] && grep -qx -- "$2" "$1/args"; }
# Line N of a file, without its line end.
line_of() { sed -n "${2}p" "$1" | tr -d '\r'; }
# Copies FILE into harness H as NAME when FILE is a regular file.
seed() {  # harness name file
  [ -f "$3" ] && cp "$3" "$dest/$1/$2" || true
}
# Writes the given files, joined by a line "%%", as seed NAME of harness H;
# a missing file counts as empty.
packed() {  # harness name file...
  local h=$1 name=$2 out first=1
  shift 2
  out="$dest/$h/$name"
  : > "$out"
  for f in "$@"; do
    [ $first = 1 ] || printf '\n%%%%\n' >> "$out"
    first=0
    if [ -f "$f" ]; then cat "$f" >> "$out"; fi
  done
}

# The bundled example.
seed fuzz_checker_lexicon example-lexikon "$examples/lexikon.txt"
seed fuzz_checker_lexicon example-endungen "$examples/endungen.txt"
seed fuzz_dict_reader example-lexikon "$examples/lexikon.txt"
seed fuzz_dict_reader example-endungen "$examples/endungen.txt"
seed fuzz_checker_rules example-regeln "$examples/regeln.txt"
seed fuzz_rules_loader example-regeln "$examples/regeln.txt"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
printf 'm\n%s\n%s\nr\nl\ne\n' "$(line_of "$examples/mirask.cfg" 2)" "$(line_of "$examples/mirask.cfg" 3)" \
  > "$scratch/cfg"
packed fuzz_config_messages example "$scratch/cfg" "$examples/meldungen.txt"
head -n 5 "$examples/saetze.txt" > "$scratch/first-sentences"
packed fuzz_sentence_pipeline example-ambiguous "$examples/regeln.txt" "$examples/lexikon.txt" \
  "$examples/endungen.txt" "$examples/mehrdeutig.txt"
packed fuzz_sentence_pipeline example-first-sentences "$examples/regeln.txt" \
  "$examples/lexikon.txt" "$examples/endungen.txt" "$scratch/first-sentences"

# Short copies of the example for the harnesses whose inputs are capped at a
# few kilobytes (their -max_len in harnesses.txt), where the whole example
# would be cut off inside its rules: the first rules and entries, without
# the comments.
example_head() {  # file lines
  grep -v '^\$' "$1" | head -n "$2"
}
example_head "$examples/regeln.txt" 8 > "$scratch/rules-head"
example_head "$examples/lexikon.txt" 10 > "$scratch/lexicon-head"
packed fuzz_checker_grammar example-head "$scratch/rules-head" "$scratch/lexicon-head" \
  "$examples/endungen.txt"
example_head "$examples/regeln.txt" 30 > "$scratch/rules-head"
example_head "$examples/lexikon.txt" 60 > "$scratch/lexicon-head"
packed fuzz_sentence_pipeline example-head "$scratch/rules-head" "$scratch/lexicon-head" \
  "$examples/endungen.txt" "$scratch/first-sentences"

seed fuzz_suite_reader example-suite "$examples/saetze.suite"
packed fuzz_checker_grammar example "$examples/regeln.txt" "$examples/lexikon.txt" \
  "$examples/endungen.txt"
packed fuzz_checker_grammar example-utf8 "$examples/utf8/regeln.txt" "$examples/utf8/lexikon.txt" \
  "$examples/utf8/endungen.txt"

# The UTF-8 copy of the example for the three UTF-8 readers.
for f in "$examples"/utf8/*.txt; do
  base=utf8-$(basename "$f" .txt)
  seed fuzz_analyser_utf8 "$base" "$f"
  seed fuzz_checker_utf8 "$base" "$f"
  seed fuzz_sorter_utf8 "$base" "$f"
done

# Assembles the end-to-end case CASE_SOURCE (its base's files and its own)
# in a scratch directory and prints the directory's name, with a slash.
assembled() {  # case_source
  local case=$scratch/case/
  rm -rf "$case" && mkdir -p "$case"
  "$root/tests/assemble_case.sh" "$1" "$case"
  echo "$case"
}

# The checker's cases: the file behind -i, by mode.
for case_source in "$root"/tests/quelvint/*/; do
  [ "$(basename "$case_source")" = bases ] && continue
  name=quelvint-$(basename "$case_source")
  case=$(assembled "$case_source")
  file=$case$(arg_after "$case" -i)
  if has_arg "$case" -rules; then
    seed fuzz_checker_rules "$name" "$file"
    seed fuzz_rules_loader "$name" "$file"
  elif has_arg "$case" -lexicon; then
    seed fuzz_checker_lexicon "$name" "$file"
    seed fuzz_dict_reader "$name" "$file"
  fi
done

# The checker's whole-grammar cases: the files their configuration names,
# once the case's setup has put its mistake in.
for case_source in "$root"/tests/quelvint/grammar-*/; do
  case=$scratch/case/
  rm -rf "$case" && mkdir -p "$case"
  "$root/tests/assemble_case.sh" "$case_source" "$case"
  [ -f "$case/setup" ] && (cd "$case" && bash setup > /dev/null 2>&1 || true)
  cfg=$case$(arg_after "$case" -c)
  [ -f "$cfg" ] || continue
  start=$(arg_after "$case" -a)
  printf '%s\n' "${start:-SATZ}" > "$scratch/start"
  packed fuzz_checker_grammar "quelvint-$(basename "$case_source")" "$case$(line_of "$cfg" 4)" \
    "$case$(line_of "$cfg" 5)" "$case$(line_of "$cfg" 6)" "$scratch/start"
done

# The sorter's cases: the filter file behind -f; every other input file is a
# word list, taken once plainly and once with all options on (first byte).
for case_source in "$root"/tests/zandoret/*/; do
  [ "$(basename "$case_source")" = bases ] && continue
  name=zandoret-$(basename "$case_source")
  case=$(assembled "$case_source")
  filter=$(arg_after "$case" -f)
  [ -n "$filter" ] && seed fuzz_sorter_filter "$name" "$case$filter"
  for f in "$case"*; do
    base=$(basename "$f")
    case $base in args | stdin | stdout | stderr | status | expect | "$filter") continue ;; esac
    [ -f "$f" ] || continue
    { printf '\000'; cat "$f"; } > "$dest/fuzz_sorter_lines/$name-$base-plain"
    { printf '\017'; cat "$f"; } > "$dest/fuzz_sorter_lines/$name-$base-options"
  done
done

# The analyser's cases: the files their configuration names.
for case_source in "$root"/tests/mirask/*/; do
  [ "$(basename "$case_source")" = bases ] && continue
  name=mirask-$(basename "$case_source")
  case=$(assembled "$case_source")
  cfg=$case$(arg_after "$case" -c)
  [ -f "$cfg" ] || continue
  messages=$case$(line_of "$cfg" 1)
  rules=$case$(line_of "$cfg" 4)
  lexicon=$case$(line_of "$cfg" 5)
  endings=$case$(line_of "$cfg" 6)
  seed fuzz_rules_loader "$name" "$rules"
  seed fuzz_dict_reader "$name-lexicon" "$lexicon"
  seed fuzz_dict_reader "$name-endings" "$endings"
  printf 'm\n%s\n%s\nr\nl\ne\n' "$(line_of "$cfg" 2)" "$(line_of "$cfg" 3)" > "$scratch/cfg"
  packed fuzz_config_messages "$name" "$scratch/cfg" "$messages"
  start=$(arg_after "$case" -a)
  input=$case$(arg_after "$case" -i)
  mode=file
  if [ ! -f "$input" ]; then input=${case}stdin; mode=console; fi
  printf '%s\n%s\n%s\n%s\n' "$(line_of "$cfg" 2)" "$(line_of "$cfg" 3)" "${start:-SATZ}" "$mode" \
    > "$scratch/settings"
  packed fuzz_sentence_pipeline "$name" "$rules" "$lexicon" "$endings" "$input" "$scratch/settings"
done

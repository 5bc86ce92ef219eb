#!/usr/bin/env bash
# Keeps the folder table of docs/architecture.md true of the tree:
#   tests/architecture-map.sh [ROOT]
#
# Fails, naming each fault, when a folder of the analyser that
# scripts/check-layers gives a floor, a folder under analyser/ or a top-level
# folder of the checkout is missing from the table; when the table names a
# folder that does not exist or names one twice; and when the floor it gives
# an analyser folder is not the one scripts/check-layers gives it.
set -eu
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"
map=docs/architecture.md
layers=scripts/check-layers
[ -f "$map" ] || { echo "architecture-map: $map is missing"; exit 1; }
[ -f "$layers" ] || { echo "architecture-map: $layers is missing"; exit 1; }

# "folder floor" for every row of the table under "## Folders" whose first
# cell is a folder in backquotes.
rows=$(awk '/^## / { inside = ($0 == "## Folders") ; next }
            inside && /^\| `[^`]*` \|/ {
              split($0, cell, "|"); name = cell[2]; floor = cell[3]
              gsub(/[ `]/, "", name); gsub(/ /, "", floor); print name, floor }' "$map")
[ -n "$rows" ] || { echo "architecture-map: $map has no folder table under \"## Folders\""; exit 1; }

# The folders the table must name: the floors of check-layers' rank(), the
# folders under analyser/ and the top-level folders, as git sees the tree
# (build folders and other ignored ones left out).
# rank FOLDER: its floor, -1 for a folder without one (check-layers' own function).
rank_function=$(sed -n '/^rank()/,/^}/p' "$layers")
eval "$rank_function"
floors=$(grep -o 'analyser/[a-z_]*' <<< "$rank_function" | sort -u)
[ -n "$floors" ] || { echo "architecture-map: no floors found in rank() of $layers"; exit 1; }
if files=$(git ls-files --cached --others --exclude-standard 2> /dev/null) && [ -n "$files" ]; then
  tree=$(awk -F/ 'NF > 1 { print $1 } NF > 2 && $1 == "analyser" { print $1 "/" $2 }' <<< "$files")
else
  tree=$(find . -mindepth 1 -maxdepth 1 -type d ! -name .git ! -name 'build*' -printf '%P\n'
         find analyser -mindepth 1 -maxdepth 1 -type d)
fi
required=$( (echo "$floors"; echo "$tree") | grep -vx analyser | sort -u)

faults=0
fault() { echo "architecture-map: $*"; faults=1; }
named=$(cut -d' ' -f1 <<< "$rows")
for folder in $required; do
  grep -qx -- "$folder" <<< "$named" || fault "$folder is missing from the table of $map"
done
for folder in $(sort <<< "$named" | uniq -d); do fault "$map names $folder twice"; done
while read -r folder floor; do
  [ -d "$folder" ] || fault "$map names $folder, which does not exist"
  wanted=$(rank "$folder")
  if [ "$wanted" -ge 0 ] && [ "$floor" != "$wanted" ]; then
    fault "$map gives $folder the floor $floor, $layers gives it $wanted"
  fi
done <<< "$rows"
[ "$faults" -eq 0 ] && echo "the table of $map names the $(wc -l <<< "$rows") folders of the tree"
exit $faults

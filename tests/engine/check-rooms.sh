#!/usr/bin/env bash
# The engine's rooms include one way: each room may include only itself and the rooms
# listed for it below (engine/README.md says what each holds). Prints every include that
# runs the other way, or a room this script does not know, and fails on any.
set -euo pipefail
engine="${1:-$(dirname "$0")/../../engine}"

declare -A may=(
  [runtime]="runtime"
  [formula]="runtime formula"
  [text]="runtime formula text"
  [rewriting]="runtime formula rewriting"
  [sat]="runtime formula sat"
  [normalforms]="runtime formula rewriting sat normalforms"
  [analysis]="runtime formula text rewriting sat normalforms analysis"
  [minimum]="runtime formula text rewriting sat normalforms minimum"
  [proofs]="runtime formula text rewriting sat normalforms proofs"
  [dimacs]="runtime formula text rewriting sat normalforms dimacs"
  [commands]="runtime formula text rewriting sat normalforms analysis minimum proofs dimacs commands"
)

status=0
cd "$engine"
for file in */*.h */*.cpp; do
  room=${file%%/*}
  if [[ -z "${may[$room]+set}" ]]; then
    echo "unknown room: $file"; status=1; continue
  fi
  while IFS= read -r included; do
    target=${included%%/*}
    if [[ "$included" != */* || " ${may[$room]} " != *" $target "* ]]; then
      echo "$file includes \"$included\", which $room may not include"; status=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done
# Files directly in engine/ belong to no room.
for file in *.h *.cpp; do
  [[ -e "$file" ]] && { echo "outside every room: $file"; status=1; }
done
exit $status

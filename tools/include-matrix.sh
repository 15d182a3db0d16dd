#!/usr/bin/env bash
# Prints the include matrix of the product's folders: for each folder (a row),
# how many of its #include lines name a header of each folder (a column). Then
# checks that every include runs down the layers: a folder includes only
# folders of lower layers (and itself), never a sibling of its own layer, and
# only the window folders include wx. Exits 1, listing the offending lines,
# when one does not. Tests, fuzzing and the tools may include anything.
set -euo pipefail
cd "$(dirname "$0")/.."

# The layers, bottom first; folders of one layer are siblings.
layers=(
  "platform"
  "formats game"
  "extract locate preview"
  "cli res"
  "widgets"
  "ui"
  "app"
)
window_folders=" res widgets ui app "

declare -A level
folders=()
for i in "${!layers[@]}"; do
  for folder in ${layers[$i]}; do
    level[$folder]=$i
    folders+=("$folder")
  done
done

declare -A count
problems=()
for from in "${folders[@]}"; do
  while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    text=${rest#*:}
    if [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\<wx/ ]]; then
      [[ $window_folders == *" $from "* ]] || problems+=("$file:$line: a window-free folder includes wx: $text")
      continue
    fi
    [[ $text =~ ^[[:space:]]*#[[:space:]]*include[[:space:]]*\"([^/\"]+)/ ]] || continue
    to=${BASH_REMATCH[1]}
    [[ -n ${level[$to]+set} ]] || continue
    count[$from,$to]=$(( ${count[$from,$to]:-0} + 1 ))
    if [[ $to != "$from" ]] && (( level[$to] >= level[$from] )); then
      problems+=("$file:$line: $from/ (layer ${level[$from]}) includes $to/ (layer ${level[$to]})")
    fi
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include' "$from" --include='*.h' --include='*.cpp' || true)
done

printf '%-9s' 'includes'
for to in "${folders[@]}"; do printf ' %8s' "$to"; done
printf '\n'
for from in "${folders[@]}"; do
  printf '%-9s' "$from"
  for to in "${folders[@]}"; do printf ' %8s' "${count[$from,$to]:-.}"; done
  printf '\n'
done

if (( ${#problems[@]} > 0 )); then
  printf '\nIncludes that do not run down the layers:\n' >&2
  printf '  %s\n' "${problems[@]}" >&2
  exit 1
fi
printf '\nEvery include runs down the layers; only %s include wx.\n' "$(echo $window_folders | sed 's/ /, /g')"

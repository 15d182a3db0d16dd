#!/usr/bin/env bash
# Measures moxtrel-cli on a game of real scale against the plain tools that
# set the floor of the same job, side by side in one run:
#   - `moxtrel-cli extract` against copying the package it wrote with `cp`
#     (and with `cp` followed by an fsync of the copy, since the extraction
#     forces its package to disk before it replaces the old one);
#   - `moxtrel-cli search --hard` over a drive map of the tree against
#     `find DIR -xdev -iname quake.exe -print -quit`;
#   - the extraction's peak memory on the full game and on one a quarter of
#     its size (same largest texture).
# Times are medians of RUNS interleaved runs with a warm cache.
#
#   bench/run.sh [RUNS]          (default 7; data in build/bench/data)
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-7}
data=$PWD/build/bench/data
cmake --preset bench >/dev/null
cmake --build --preset bench >/dev/null
cli=build/bench/cli/moxtrel-cli
generator=build/bench/bench/make_big_game

# The games are made once, and again whenever the generator changes.
for game in full quarter; do
  if [[ ! -f $data/$game/GAME_DIR || $generator -nt $data/$game/GAME_DIR ]]; then
    echo "generating the $game game..."
    if [[ $game == full ]]; then
      "$generator" "$data/full" >/dev/null
    else
      "$generator" "$data/quarter" --scale 0.25 --no-tree >/dev/null
    fi
  fi
done
full=$(cat "$data/full/GAME_DIR")
quarter=$(cat "$data/quarter/GAME_DIR")
tree=$data/full/tree
export MOXTREL_REGISTRY=$data/registry.reg   # an empty store: nothing to register
printf '%s fixed\n' "$tree" >"$data/volumes.map"

# Wall time of one command in seconds; its output is discarded.
seconds() {
  local start=$EPOCHREALTIME
  "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
  local end=$EPOCHREALTIME
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f", b - a }'
}
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
ms() { awk -v s="$1" 'BEGIN { printf "%8.1f ms", s * 1000 }'; }
peak_kb() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }

extract() { "$cli" extract "$full"; }
copy() { rm -f "$data/copy.wad"; cp "$full/Quake.wad" "$data/copy.wad"; }
copy_synced() { rm -f "$data/copy.wad"; cp "$full/Quake.wad" "$data/copy.wad" && sync "$data/copy.wad"; }
search() { MOXTREL_VOLUMES=$data/volumes.map "$cli" search --hard; }
find_exe() { find "$tree" -xdev -iname quake.exe -print -quit; }

has_search=no
"$cli" --help | grep -q '^ *search ' && has_search=yes

# Check once (and warm the cache) that each command does what is measured.
extract >"$data/summary.txt" 2>/dev/null
copy
if [[ $has_search == yes ]]; then
  found=$(search 2>/dev/null)
  found_by_find=$(find_exe)
  if [[ $found != "$(dirname "$found_by_find")/id1/" ]]; then
    echo "search and find disagree: '$found' and '$found_by_find'" >&2
    exit 1
  fi
fi

declare -a t_extract t_copy t_synced t_search t_find
for ((i = 0; i < runs; i++)); do
  t_extract+=("$(seconds extract)")
  t_copy+=("$(seconds copy)")
  t_synced+=("$(seconds copy_synced)")
  if [[ $has_search == yes ]]; then
    t_search+=("$(seconds search)")
    t_find+=("$(seconds find_exe)")
  fi
done
rm -f "$data/copy.wad"

extract_s=$(median "${t_extract[@]}")
copy_s=$(median "${t_copy[@]}")
synced_s=$(median "${t_synced[@]}")
mem_full=$(peak_kb "$cli" extract "$full")
mem_quarter=$(peak_kb "$cli" extract "$quarter")

size() { stat -c %s "$1" | awk '{ printf "%.1f MB", $1 / 1e6 }'; }
echo "game: PAK0.PAK $(size "$full/PAK0.PAK"), PAK1.PAK $(size "$full/PAK1.PAK"); package $(size "$full/Quake.wad"),$(grep -m1 'Total Entries' "$data/summary.txt" | cut -d: -f2) textures"
echo "median of $runs runs:"
echo "  moxtrel-cli extract              $(ms "$extract_s")"
echo "  cp of the package                $(ms "$copy_s")   extract/cp          $(ratio "$extract_s" "$copy_s")x   (target 2x)"
echo "  cp + fsync of the copy           $(ms "$synced_s")   extract/(cp+fsync)  $(ratio "$extract_s" "$synced_s")x   (target 1.25x)"
if [[ $has_search == yes ]]; then
  search_s=$(median "${t_search[@]}")
  find_s=$(median "${t_find[@]}")
  echo "  moxtrel-cli search --hard        $(ms "$search_s")   (tree: 100,000 files in 10,020 folders)"
  echo "  find -xdev -iname quake.exe      $(ms "$find_s")   search/find         $(ratio "$search_s" "$find_s")x   (target 1.2x)"
else
  echo "  moxtrel-cli search: not built yet, skipped"
fi
echo "peak memory of the extraction:"
echo "  full game (55 MB of archives)    $(awk -v k="$mem_full" 'BEGIN { printf "%.1f MB", k / 1024 }')"
echo "  quarter game (14 MB)             $(awk -v k="$mem_quarter" 'BEGIN { printf "%.1f MB", k / 1024 }')   full/quarter $(ratio "$mem_full" "$mem_quarter")x"
# The file system calls of one extraction that move data or the file position,
# per texture of the package (strace from Debian's strace package).
if command -v strace >/dev/null; then
  textures=$(grep -m1 'Total Entries' "$data/summary.txt" | awk -F: '{ print $2 + 0 }')
  strace -c -f -o "$data/strace.txt" "$cli" extract "$full" >/dev/null 2>&1
  calls=$(awk '$NF ~ /^(read|pread64|readv|preadv|write|pwrite64|writev|lseek)$/ { n += $4 } END { print n + 0 }' "$data/strace.txt")
  echo "system calls of the extraction (read, seek and write):"
  echo "  $calls for $textures textures        $(ratio "$calls" "$textures") per texture   (target 3)"
else
  echo "system calls: strace not installed, skipped"
fi

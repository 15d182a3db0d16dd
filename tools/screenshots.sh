#!/usr/bin/env bash
# Makes the README's screenshots of the window program:
#   tools/screenshots.sh [--windows] [OUTPUT_DIR]          (default docs/screenshots)
# Runs the real build/release/app/moxtrel in a private X server (Xvfb) with a
# window manager (openbox), so the windows have their frames and titles, on a
# copy of the demo game, with a drive map and a registry store of its own in a
# scratch folder; drives the windows with xdotool as a user would and saves:
#   main.png    the main dialog with Quake chosen
#   locate.png  the Locate dialog having found the game directory
#   search.png  the Search dialog after a scan that found it
#   begin.png   the main dialog while Begin runs
#   info.png    the WAD File Info box at the end of the run
# With --windows it runs build/windows/app/moxtrel.exe under Wine instead, in
# a throw-away Wine prefix with the demo game on C: and a free slot in Wine's
# registry, and saves windows-main.png, windows-locate.png, windows-search.png
# and windows-info.png (the same moments as main, locate, search and info).
# A picture is taken only when the window has stopped changing, is checked
# (size of the window, not blank), and only then replaces the file in
# OUTPUT_DIR, so a failed run leaves the pictures it did not make as they
# were. Any window that does not appear ends the script with an error.
set -euo pipefail
cd "$(dirname "$0")/.."

windows=""
if [ "${1:-}" = --windows ]; then
  windows=--windows
  shift
fi
out=$(realpath -m "${1:-docs/screenshots}")

# First run: build what is needed, then run again inside a private X server.
if [ -z "${MOXTREL_SCREENSHOTS_INSIDE:-}" ]; then
  for tool in xvfb-run openbox xdotool import convert compare identify; do
    command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing (bash tools/install-packages.sh)" >&2; exit 1; }
  done
  [ -f build/release/build.ninja ] || cmake --preset release >/dev/null
  cmake --build --preset release --target moxtrel demo_game >/dev/null
  if [ -n "$windows" ]; then
    [ -f build/windows/build.ninja ] || { echo "screenshots: build the windows preset first (bash tools/check-windows.sh)" >&2; exit 1; }
    cmake --build --preset windows --target moxtrel >/dev/null
  fi
  MOXTREL_SCREENSHOTS_INSIDE=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" $windows "$out"
fi

program=("$PWD/build/release/app/moxtrel")
[ -z "$windows" ] || program=(wine "$PWD/build/windows/app/moxtrel.exe")
# A short, fixed scratch path: the Locate tree shows it as the drive's name,
# and the pictures come out the same on every run.
work=${TMPDIR:-/tmp}/moxtrel-shots
rm -rf "$work"
mkdir -p "$work"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  [ -z "$windows" ] || wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "screenshots: $*" >&2
  exit 1
}

# The same look wherever it runs; nothing of the user's settings.
export LANG=C.UTF-8 LC_ALL=C.UTF-8 GTK_THEME=Adwaita NO_AT_BRIDGE=1
export XDG_CONFIG_HOME=$work/config HOME=$work/home
mkdir -p "$XDG_CONFIG_HOME" "$HOME" "$out"

# The demo game on a drive of its own, and a store with a free texture-pack slot.
mkdir "$work/drive"
cp -r build/release/demo/quake "$work/drive/"
game=$work/drive/quake/id1
echo "$work/drive fixed" >"$work/drives.map"
store=$work/registry.reg
printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orvek\\Lathmore\\Gantry\\Settings\\txpack0]\n' >"$store"
export MOXTREL_VOLUMES=$work/drives.map MOXTREL_REGISTRY=$store

openbox --startup "touch $work/wm-ready" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -e "$work/wm-ready" ] && break; sleep 0.1; done
[ -e "$work/wm-ready" ] || fail "the window manager did not start"

# The ids of the visible windows titled exactly $1. A window closing while
# xdotool walks the window tree breaks the walk with an X error: ask again.
find_windows() {
  local out
  for _ in 1 2 3 4 5; do
    if out=$(xdotool search --onlyvisible --name "^$1\$" 2>&1); then
      echo "$out"
      return 0
    fi
    grep -q 'X Error' <<<"$out" || return 1
  done
  return 1
}

# The visible window titled exactly $1, waited for up to 15 seconds.
window() {
  local id=""
  for _ in $(seq 150); do
    id=$(find_windows "$1" | head -n1)
    [ -n "$id" ] && break
    sleep 0.1
  done
  [ -n "$id" ] || fail "the $1 window did not appear"
  echo "$id"
}

# Waits until no visible window is titled $1.
gone() {
  for _ in $(seq 50); do
    find_windows "$1" >/dev/null || return 0
    sleep 0.1
  done
  fail "the $1 window did not close"
}

# A click on window $1 at dialog-unit point ($2, $3) of a template $4 x $5
# dialog units large: the window's client area is the template scaled.
click() {
  local WIDTH HEIGHT X Y SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove --window "$1" "$(awk -v w="$WIDTH" -v x="$2" -v t="$4" 'BEGIN { printf "%d", w * x / t }')" \
    "$(awk -v h="$HEIGHT" -v y="$3" -v t="$5" 'BEGIN { printf "%d", h * y / t }')" click 1
  # Away from the controls, so no tool tip shows in a picture.
  xdotool mousemove 0 0
}

# Waits until the program's current directory is the game directory: the
# Locate and Search dialogs go into a folder they have found the archives in.
found_game() {
  for _ in $(seq 100); do
    [ "$(readlink "/proc/$app/cwd")" = "$game" ] && return 0
    sleep 0.1
  done
  fail "$1 did not find the game directory"
}

# Saves window $1 with its frame as $2.png in the output folder once two
# captures 0.4 seconds apart are the same, and only when the picture has the
# window's size and more than a few colours.
shoot() {
  local frame=$work/frame.png previous=$work/previous.png picture=$work/$2.png
  import -silent -frame -window "$1" "$previous"
  for _ in $(seq 25); do
    sleep 0.4
    import -silent -frame -window "$1" "$frame"
    if compare -metric AE "$previous" "$frame" null: 2>/dev/null; then break; fi
    mv "$frame" "$previous"
  done
  compare -metric AE "$previous" "$frame" null: 2>/dev/null || fail "the $2 picture kept changing"
  local WIDTH HEIGHT X Y SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  read -r width height colours < <(identify -format '%w %h %k\n' "$frame")
  [ "$width" -ge "$WIDTH" ] && [ "$height" -gt "$HEIGHT" ] ||
    fail "the $2 picture is $width x $height, smaller than its window with a frame"
  [ "$colours" -gt 16 ] || fail "the $2 picture is blank ($colours colours)"
  # A palette of 128 colours keeps the file small; the windows have few.
  convert "$frame" -strip +dither -colors 128 "PNG8:$picture"
  mv "$picture" "$out/$2.png"
  echo "screenshots: $out/$2.png ($width x $height)"
}

start() {
  "${program[@]}" >"$work/moxtrel.log" 2>&1 &
  app=$!
  pids+=("$app")
  main=$(window "Extract Pak Textures")
}

# Dialog templates in dialog units: main 223 x 110, Locate 179 x 159, Search 212 x 100.

# Under Wine: the demo game on C: and the first slot's key in Wine's registry,
# in a prefix of the scratch folder. The search and the found cue take the
# same time on every run; nothing of the program's state shows outside Wine.
if [ -n "$windows" ]; then
  export WINEPREFIX=$work/prefix WINEDEBUG=-all
  unset MOXTREL_VOLUMES MOXTREL_REGISTRY
  # No offer to install Wine's .NET and HTML engines on the display.
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot --init >/dev/null 2>&1
  cp -r build/release/demo/quake "$WINEPREFIX/drive_c/Quake"
  game=$WINEPREFIX/drive_c/Quake/id1
  key='HKCU\Software\Orvek\Lathmore\Gantry\Settings'
  wine reg add "$key\\txpack0" /f >/dev/null 2>&1
  # Windows has Times New Roman, which the main and Locate dialogs ask for;
  # Wine has none and would measure them in a sans serif of other widths.
  # Liberation Serif has its metrics, and is what the Linux pictures show.
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
    /v 'Times New Roman' /d 'Liberation Serif' /f >/dev/null 2>&1
  start
  click "$main" 25 14 223 110          # Quake
  sleep 0.5
  shoot "$main" windows-main
  click "$main" 200 17 223 110         # Manual Locate
  locate=$(window Locate)
  click "$locate" 35 47 179 159        # C:, first in the tree
  xdotool key q                        # the tree's type-ahead: the Quake folder
  sleep 4                              # the test of the folder and the found cue
  shoot "$locate" windows-locate
  xdotool key Escape                   # cancels, even when found
  gone Locate
  click "$main" 200 42 223 110         # Search
  search=$(window Search)
  click "$search" 14 39 212 100        # Hard Drives
  click "$search" 177 62 212 100       # Begin Search
  sleep 4                              # the scan of C: and the found cue
  shoot "$search" windows-search
  click "$search" 177 87 212 100       # Ok
  gone Search
  click "$main" 200 67 223 110         # Begin
  info=$(window "WAD File Info")
  sleep 0.5
  shoot "$info" windows-info
  [ -e "$game/Quake.wad" ] || fail "Begin wrote no package"
  wine reg query "$key\\txpack0" 2>/dev/null | grep -q 'Quake.wad' || fail "the run did not register the package"
  exit 0
fi

# The main dialog with Quake chosen, then Manual Locate finding the game.
start
click "$main" 25 14 223 110          # Quake
sleep 0.5
shoot "$main" main
click "$main" 200 17 223 110         # Manual Locate
locate=$(window Locate)
click "$locate" 35 47 179 159        # the drive, first in the tree
xdotool key Down                     # the game's folder below it
found_game "Manual Locate"
sleep 2.5                            # the found cue ends
shoot "$locate" locate
kill "$app"

# Search finding the game, Begin running, and the summary at the end.
start
click "$main" 25 14 223 110          # Quake
click "$main" 200 42 223 110         # Search
search=$(window Search)
click "$search" 14 39 212 100        # Hard Drives
click "$search" 177 62 212 100       # Begin Search
found_game "Search"
sleep 2.5
shoot "$search" search
click "$search" 177 87 212 100       # Ok
gone Search
# Holding the store's lock stops the run where it registers the package,
# after the package is written: the main dialog shows the run at its end.
exec 9>"$store.lock"
flock 9
click "$main" 200 67 223 110         # Begin
for _ in $(seq 100); do [ -e "$game/Quake.wad" ] && break; sleep 0.1; done
[ -e "$game/Quake.wad" ] || fail "Begin wrote no package"
sleep 1
find_windows 'WAD File Info' >/dev/null && fail "the run ended while the store was locked"
shoot "$main" begin
exec 9>&-
info=$(window "WAD File Info")
sleep 0.5
shoot "$info" info
grep -q 'Quake.wad' "$store" || fail "the run did not register the package"

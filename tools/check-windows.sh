#!/usr/bin/env bash
# Builds moxtrel.exe, moxtrel-cli.exe and their tests for Windows with
# MinGW-w64 and checks them under Wine, in a throw-away Wine prefix (never
# ~/.wine). The libraries the window program needs are built first, once
# (tools/build-windows-deps.sh keeps them in ~/.cache/moxtrel).
#  - the core tests pass;
#  - extract writes the same package as the Linux build of the same demo game,
#    and registers it in Wine's registry when the first slot's key is there;
#  - with no txpack0 key nothing is written to the registry;
#  - search lists the drives Wine maps and finds the game on C:;
#  - moxtrel.exe answers --version and --help;
#  - the window tests pass under Wine in an X server with a window manager;
#  - the whole road in moxtrel.exe with real keys and clicks, on Wine's own
#    drives and registry, writes the same package as Linux and registers it;
#  - a close request during Begin ends the program once the run is over, with
#    the whole package written.
# Needs the release build (tools/setup.sh) for the demo game, the Linux package
# and the art tool that draws the pictures.
set -euo pipefail
cd "$(dirname "$0")/.."

# Inside the X server xvfb-run started (see the end): openbox manages Wine's
# windows, as a desktop would; Wine's server stays up between the programs.
if [ "${1:-}" = --window-tests ]; then
  work=$2
  openbox --startup "touch $work/window-manager-ready" >/dev/null 2>&1 &
  window_manager=$!
  trap 'wineserver -k >/dev/null 2>&1 || true; kill "$window_manager" 2>/dev/null || true' EXIT
  for _ in $(seq 100); do [ -e "$work/window-manager-ready" ] && break; sleep 0.1; done
  [ -e "$work/window-manager-ready" ] || { echo "check-windows: openbox did not start" >&2; exit 1; }
  wineserver -p
  # The keys and clicks the window tests give through SendInput never pass
  # through the X server, so openbox, which judges by the input it has seen,
  # may give the focus to none of Wine's windows when a dialog closes. Without
  # the WM_TAKE_FOCUS protocol Wine's own choice stands: the dialog's owner,
  # as on Windows.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v UseTakeFocus /d N /f >/dev/null 2>&1
  # Wine starts its desktop process with the first window program; started
  # here, it does not hold on to the output of a test that ctest reads.
  wine build/windows/app/moxtrel.exe --version >/dev/null 2>&1 </dev/null

  # The window tests, each a Windows process of its own, with real keys and
  # clicks through SendInput. A test process that Wine failed to start (once
  # in about a thousand runs, with no output at all) is run once more.
  ctest --test-dir build/windows/tests/ui -L window --output-on-failure --repeat until-pass:2

  # The whole road in moxtrel.exe with real keys and clicks through the X
  # server: Quake, Search over the hard drives finds the game on C:, Ok,
  # Alt+B for Begin, the WAD File Info box closed with Return, and Escape
  # ends the program. Clicks go to dialog-unit points of the templates
  # (main 223 x 110, Search 212 x 100), scaled to each window.
  window() {
    local id=""
    for _ in $(seq 150); do
      id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) && [ -n "$id" ] && break
      sleep 0.1
    done
    [ -n "$id" ] || { echo "check-windows: the $1 window did not appear" >&2; exit 1; }
    echo "$id"
  }
  click() {
    local WIDTH HEIGHT X Y SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    xdotool mousemove --window "$1" $((WIDTH * $2 / $4)) $((HEIGHT * $3 / $5)) click 1
  }
  # Starts moxtrel.exe and finds the game as a user does: Quake, then Search
  # over the hard drives, Begin Search, Ok.
  start_and_find_the_game() {
    wine build/windows/app/moxtrel.exe >/dev/null 2>&1 &
    program=$!
    main=$(window "Extract Pak Textures")
    click "$main" 25 14 223 110         # Quake
    sleep 0.5
    click "$main" 200 42 223 110        # Search
    search=$(window Search)
    click "$search" 14 39 212 100       # Hard Drives
    click "$search" 177 62 212 100      # Begin Search
    sleep 3
    click "$search" 177 87 212 100      # Ok
    sleep 1
  }
  ends_by_itself() {
    for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || return 0; sleep 0.1; done
    echo "check-windows: $1" >&2
    exit 1
  }

  start_and_find_the_game
  # The keyboard after the find: the main dialog has the focus back, and
  # Alt+B starts Begin.
  xdotool key alt+b
  info=$(window "WAD File Info")
  xdotool windowactivate --sync "$info" key Return
  sleep 1
  xdotool windowactivate --sync "$main" key Escape
  ends_by_itself "Escape did not end moxtrel.exe"

  # A close request during Begin (Alt+F4, which openbox makes the window
  # manager's close): the run goes on to its summary, then the program ends
  # by itself. The game is of real scale, so the run is still going when the
  # request comes.
  cp "$WINEPREFIX/drive_c/Quake/id1/Quake.wad" "$work/road.wad"
  rm -rf "$WINEPREFIX/drive_c/Quake"
  mv "$work/big/quake" "$WINEPREFIX/drive_c/Quake"
  start_and_find_the_game
  xdotool key alt+b
  sleep 0.5
  xdotool key alt+F4
  info=$(window "WAD File Info")
  xdotool windowactivate --sync "$info" key Return
  ends_by_itself "a close request during Begin did not end moxtrel.exe once the run was over"
  exit 0
fi

linux_cli=build/release/cli/moxtrel-cli
demo=build/release/demo/quake
if [ ! -x "$linux_cli" ] || [ ! -d "$demo" ]; then
  echo "check-windows: build the release preset first (bash tools/setup.sh)" >&2
  exit 1
fi

bash tools/build-windows-deps.sh >/dev/null
cmake --preset windows
cmake --build --preset windows -j2

# The tests run in the test preset's own prefix; it is made once up front so
# the parallel test processes do not race to create it. The window tests
# need a display and run further down.
WINEDEBUG=-all WINEPREFIX="$PWD/build/windows/wineprefix" wineboot --init >/dev/null 2>&1
ctest --preset windows -j2 -LE window

work=$(mktemp -d)
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
unset MOXTREL_REGISTRY MOXTREL_VOLUMES
wineboot --init >/dev/null 2>&1
exe="$PWD/build/windows/cli/moxtrel-cli.exe"
key='HKCU\Software\Orvek\Lathmore\Gantry\Settings'
fail() { echo "check-windows: $*" >&2; exit 1; }
# Console output from a Windows program ends its lines with CR LF.
run() { wine "$exe" "$@" | tr -d '\r'; }

cp -r "$demo" "$WINEPREFIX/drive_c/Quake"
cp -r "$demo" "$work/linux"
MOXTREL_REGISTRY="$work/linux.reg" "$linux_cli" extract "$work/linux/id1" >/dev/null 2>&1

wine reg add "$key\\txpack0" /f >/dev/null 2>&1
run extract 'C:\Quake\id1' >/dev/null
cmp "$WINEPREFIX/drive_c/Quake/id1/Quake.wad" "$work/linux/id1/Quake.wad" || fail "the package differs from Linux's"
wine reg query "$key\\txpack0" 2>/dev/null | tr -d '\r' | grep -q 'path *REG_SZ *C:\\Quake\\id1\\Quake.wad$' ||
  fail "the package was not registered in txpack0"

wine reg delete "$key" /f >/dev/null 2>&1
run extract 'C:\Quake\id1' >/dev/null
if wine reg query "$key" >/dev/null 2>&1; then fail "a registry key was written without txpack0"; fi

run search --list-drives > "$work/drives"
grep -q '^C:\\ fixed [0-9A-F]\{8\}$' "$work/drives" || fail "search --list-drives shows no C: drive: $(cat "$work/drives")"
[ "$(run search 2>/dev/null)" = 'C:\Quake\id1\' ] || fail "search did not find the game on C:"

# The window program's --version and --help, read from its standard output.
gui="$PWD/build/windows/app/moxtrel.exe"
[ "$(wine "$gui" --version | tr -d '\r')" = "moxtrel $(sed -nE 's/^project\(Moxtrel VERSION ([0-9.]+).*/\1/p' CMakeLists.txt)" ] ||
  fail "moxtrel.exe --version did not answer"
wine "$gui" --help | tr -d '\r' | grep -q '^Usage: moxtrel \[auto\]$' || fail "moxtrel.exe --help did not answer"

# The window tests and the road, in an X server of their own with openbox;
# the road starts afresh, with the first slot's key there and no package yet.
rm -f "$WINEPREFIX/drive_c/Quake/id1/Quake.wad"
wine reg add "$key\\txpack0" /f >/dev/null 2>&1
wineserver -w
# The game of real scale for the close during Begin, once for the road and
# once for the Linux build to compare with (the generator writes the same
# bytes each time).
cmake --preset bench >/dev/null
cmake --build --preset bench --target make_big_game >/dev/null
for copy in big big-linux; do build/bench/bench/make_big_game "$work/$copy" --scale 3 --no-tree >/dev/null; done
MOXTREL_REGISTRY="$work/linux.reg" "$linux_cli" extract "$work/big-linux/quake/id1" >/dev/null 2>&1
NO_AT_BRIDGE=1 xvfb-run -a -s "-screen 0 1280x1024x24" bash tools/check-windows.sh --window-tests "$work" ||
  fail "the window tests or the road failed under Wine"
cmp "$work/road.wad" "$work/linux/id1/Quake.wad" ||
  fail "the package the window program wrote differs from Linux's"
cmp "$WINEPREFIX/drive_c/Quake/id1/Quake.wad" "$work/big-linux/quake/id1/Quake.wad" ||
  fail "the package written through a close request differs from Linux's"
wine reg query "$key\\txpack0" 2>/dev/null | tr -d '\r' | grep -q 'path *REG_SZ *C:\\Quake\\id1\\Quake.wad$' ||
  fail "the window program did not register the package in txpack0"

echo "check-windows: the tests pass under Wine; same package as Linux, registered in Wine's registry; drives listed and the game found; the window tests pass and the window program's road gives the same package, registered"

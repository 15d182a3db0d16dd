#!/usr/bin/env bash
# Builds moxtrel-cli.exe and the core tests for Windows with MinGW-w64 and
# checks them under Wine, in a throw-away Wine prefix (never ~/.wine):
#  - the core tests pass;
#  - extract writes the same package as the Linux build of the same demo game,
#    and registers it in Wine's registry when the first slot's key is there;
#  - with no txpack0 key nothing is written to the registry;
#  - search lists the drives Wine maps and finds the game on C:.
# Needs the release build (tools/setup.sh) for the demo game and the Linux package.
set -euo pipefail
cd "$(dirname "$0")/.."

linux_cli=build/release/cli/moxtrel-cli
demo=build/release/demo/quake
if [ ! -x "$linux_cli" ] || [ ! -d "$demo" ]; then
  echo "check-windows: build the release preset first (bash tools/setup.sh)" >&2
  exit 1
fi

cmake --preset windows
cmake --build --preset windows

# The tests run in the test preset's own prefix; it is made once up front so
# the parallel test processes do not race to create it.
WINEDEBUG=-all WINEPREFIX="$PWD/build/windows/wineprefix" wineboot --init >/dev/null 2>&1
ctest --preset windows -j2

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

echo "check-windows: the tests pass under Wine; same package as Linux, registered in Wine's registry; drives listed and the game found"

#!/usr/bin/env bash
# Makes the Windows installer and zip from the windows build (cpack --preset
# windows) and checks them under Wine, in a throw-away Wine prefix (never
# ~/.wine), as a user would meet them:
#  - the zip holds the programs and the licence in one folder;
#  - a silent install (/S), made twice as an upgrade would, puts them in the
#    64-bit Program Files\Moxtrel with the uninstaller, makes the Start-menu
#    shortcuts, and lists the program among the installed programs (the
#    64-bit registry's Uninstall key);
#  - the installed moxtrel-cli.exe runs;
#  - a silent uninstall leaves no file, shortcut or registry entry behind.
# The window program and its shortcut are expected when the build has it.
# Needs the windows build (tools/check-windows.sh makes it).
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/windows
[ -f "$build/cli/moxtrel-cli.exe" ] || { echo "check-installer: build the windows preset first (tools/check-windows.sh)" >&2; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
rm -f "$build"/moxtrel-*-win64-setup.exe "$build"/moxtrel-*-win64.zip
cpack --preset windows >/dev/null
setup="$build/moxtrel-$version-win64-setup.exe"
zip="$build/moxtrel-$version-win64.zip"

fail() { echo "check-installer: $*" >&2; exit 1; }
programs=(moxtrel-cli.exe)
if ninja -C "$build" -t query moxtrel >/dev/null 2>&1; then programs+=(moxtrel.exe); fi

expected=$(printf "moxtrel-$version-win64/%s\n" "${programs[@]}" LICENSE.txt | sort)
[ "$(unzip -Z1 "$zip" | sort)" = "$expected" ] || fail "$zip holds $(unzip -Z1 "$zip" | tr '\n' ' ')"

work=$(mktemp -d)
# Wine's menu builder would copy the shortcuts into the Linux desktop's menus
# in the home folder, outside the prefix: it stays off.
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
wineboot --init >/dev/null 2>&1

folder="$WINEPREFIX/drive_c/Program Files/Moxtrel"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Moxtrel"
entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Moxtrel'
# A shortcut keeps its target's full path as text among its bytes.
shortcut_to() { grep -qaF "C:\\Program Files\\Moxtrel\\$2" "$menu/$1.lnk" || fail "no shortcut $1 to $2 in $menu"; }
entry_value() { wine reg query "$entry" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_SZ *//p"; }

# The second install stands for an upgrade: it runs the installed uninstaller
# first and must leave one whole installation.
for run in first second; do
  timeout 300 wine "$setup" /S || fail "the $run silent install failed"
  timeout 120 wineserver -w
done
expected=$(printf '%s\n' "${programs[@]}" LICENSE.txt Uninstall.exe | sort)
[ "$(cd "$folder" 2>/dev/null && find . -type f | sed 's|^\./||' | sort)" = "$expected" ] ||
  fail "Program Files\\Moxtrel does not hold just $(echo $expected)"
shortcut_to Uninstall Uninstall.exe
if [ ${#programs[@]} -eq 2 ]; then shortcut_to Moxtrel moxtrel.exe; fi
[ "$(entry_value DisplayName)" = Moxtrel ] && [ "$(entry_value DisplayVersion)" = "$version" ] &&
  [ "$(entry_value UninstallString)" = '"C:\Program Files\Moxtrel\Uninstall.exe"' ] ||
  fail "the installed programs do not list Moxtrel $version with its uninstaller"
[ "$(wine 'C:\Program Files\Moxtrel\moxtrel-cli.exe' --version | tr -d '\r')" = "moxtrel-cli $version" ] ||
  fail "the installed moxtrel-cli.exe does not run"

# The uninstaller runs from a copy of itself in the temporary folder and
# returns at once; the Wine server ends when that copy has done its work.
timeout 120 wine 'C:\Program Files\Moxtrel\Uninstall.exe' /S || fail "the silent uninstall failed"
timeout 120 wineserver -w
[ ! -e "$folder" ] || fail "the uninstall left $(cd "$folder" && find . -mindepth 1 | tr '\n' ' ')"
[ ! -e "$menu" ] || fail "the uninstall left the Start-menu folder"
left=$(find "$WINEPREFIX/drive_c" -iname '*moxtrel*')
[ -z "$left" ] || fail "the uninstall left $left"
if grep -qi moxtrel "$WINEPREFIX"/*.reg; then fail "the uninstall left $(grep -hi moxtrel "$WINEPREFIX"/*.reg)"; fi

echo "check-installer: $(basename "$setup") installs ${programs[*]} silently with its shortcuts and uninstall entry, and uninstalls without a trace; $(basename "$zip") holds them too"

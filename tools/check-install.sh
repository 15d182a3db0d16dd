#!/usr/bin/env bash
# Checks an installation of Moxtrel as a user's system would see it:
#   tools/check-install.sh ROOT PREFIX APP_ID DEMO_GAME
# ROOT is where it was unpacked or installed (a DESTDIR, or the scratch root
# of `dpkg -x`), PREFIX the prefix it was made for (/usr for the package),
# APP_ID the application ID, DEMO_GAME a game directory to extract a copy of
# (build/release/demo/quake/id1). The installed programs are run from ROOT;
# with DISPLAY set, the window program is also started, to see that the
# desktop can match its window to the menu entry.
set -euo pipefail

if [ $# -ne 4 ]; then
  echo "usage: $0 ROOT PREFIX APP_ID DEMO_GAME" >&2
  exit 2
fi
root=$1 prefix=$2 id=$3 demo=$4
base=$root$prefix
sizes=(16 24 32 48 64 128 256)
scratch=$(mktemp -d)
app_pid=
cleanup() {
  if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() {
  echo "check-install: $*" >&2
  exit 1
}

# Exactly these files, nothing of the build or the tests.
expected=(
  bin/moxtrel bin/moxtrel-cli
  "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml"
  share/man/man1/moxtrel.1.gz share/man/man1/moxtrel-cli.1.gz
  share/doc/moxtrel/copyright share/doc/moxtrel/changelog.gz
)
for size in "${sizes[@]}"; do expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png"); done
if ! diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$base" && find . -type f -o -type l | sed 's|^\./||' | sort); then
  fail "the installed files (right) are not the expected ones (left)"
fi

# Each icon is a PNG of its size: width and height are the big-endian
# numbers at bytes 16 and 20.
for size in "${sizes[@]}"; do
  icon="$base/share/icons/hicolor/${size}x${size}/apps/$id.png"
  read -r -a header <<<"$(od -An -tu1 -N24 "$icon" | tr '\n' ' ')"
  [ "${header[1]} ${header[2]} ${header[3]}" = "80 78 71" ] || fail "$icon is not a PNG"
  width=$(((header[16] << 24) + (header[17] << 16) + (header[18] << 8) + header[19]))
  height=$(((header[20] << 24) + (header[21] << 16) + (header[22] << 8) + header[23]))
  [ "$width x $height" = "$size x $size" ] || fail "$icon is $width x $height"
done

# The desktop entry starts the installed program with the installed icon, and
# names the window class the program gives its windows.
desktop="$base/share/applications/$id.desktop"
messages=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $messages"
[ -z "$messages" ] || fail "desktop-file-validate: $messages"
for line in "Exec=moxtrel" "Icon=$id" "StartupWMClass=$id" "Terminal=false"; do
  grep -qx "$line" "$desktop" || fail "$desktop lacks $line"
done
metainfo="$base/share/metainfo/$id.metainfo.xml"
messages=$(appstreamcli validate --no-net --no-color "$metainfo" 2>&1) || fail "appstreamcli: $messages"
if grep -qE '^[EW]:' <<<"$messages"; then fail "appstreamcli: $messages"; fi
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "$metainfo lacks its launchable"

# The program is under the MIT licence (Expat, as Debian's copyright format
# names it); only the metadata file is CC0.
grep -q '<project_license>MIT</project_license>' "$metainfo" || fail "$metainfo does not give the MIT licence"
copyright="$base/share/doc/moxtrel/copyright"
sed -n '/^Files: \*$/,/^$/p' "$copyright" | grep -qx 'License: Expat' || fail "$copyright does not put the program under the MIT licence"

# The manual pages format without a warning and hold the hand-kept sections.
for program in moxtrel moxtrel-cli; do
  page="$base/share/man/man1/$program.1.gz"
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man -l --warnings "$page" 2>&1 >/dev/null) || fail "man could not format $page"
  [ -z "$warnings" ] || fail "man warns about $page: $warnings"
  text=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$page" 2>/dev/null)
  for heading in SYNOPSIS OPTIONS "EXIT STATUS" ENVIRONMENT FILES EXAMPLES MOXTREL_REGISTRY MOXTREL_VOLUMES XDG_CONFIG_HOME; do
    grep -q "$heading" <<<"$text" || fail "$page has no $heading"
  done
done
grep -q '^COMMANDS' <<<"$(MANWIDTH=200 man -l "$base/share/man/man1/moxtrel-cli.1.gz" 2>/dev/null)" ||
  fail "the manual page of moxtrel-cli lists no commands"

# The programs run from the installation alone: no run path into a build tree,
# and the package is made from a copy of the demo game.
for program in moxtrel moxtrel-cli; do
  if readelf -d "$base/bin/$program" | grep -qE 'RPATH|RUNPATH'; then fail "$program has a run path"; fi
done
[ "$("$base/bin/moxtrel-cli" --version)" = "moxtrel-cli $(env -u DISPLAY "$base/bin/moxtrel" --version | cut -d' ' -f2)" ] ||
  fail "the two programs give different versions"
cp -r "$demo" "$scratch/game"
summary=$(cd "$scratch" && MOXTREL_REGISTRY="$scratch/registry.reg" "$base/bin/moxtrel-cli" extract "$scratch/game" 2>/dev/null) ||
  fail "the installed moxtrel-cli could not extract the demo game"
[ "$(head -n1 <<<"$summary")" = "File Name : Quake.wad" ] && [ -s "$scratch/game/Quake.wad" ] ||
  fail "the installed moxtrel-cli wrote no package: $summary"

# The window program names its windows after the application ID (both parts
# of WM_CLASS), so the desktop groups them with the menu entry.
if [ -n "${DISPLAY:-}" ]; then
  echo "$scratch/game fixed" >"$scratch/drives.map"
  MOXTREL_VOLUMES="$scratch/drives.map" MOXTREL_REGISTRY="$scratch/registry.reg" NO_AT_BRIDGE=1 \
    "$base/bin/moxtrel" >/dev/null 2>&1 &
  app_pid=$!
  # Asked again until it answers: a window of another program that closes
  # while xdotool walks the tree makes that walk fail.
  found=no
  for _ in $(seq 100); do
    if xdotool search --onlyvisible --all --pid "$app_pid" --classname "^$id\$" >/dev/null 2>&1 &&
      xdotool search --all --pid "$app_pid" --class "^$id\$" >/dev/null 2>&1; then
      found=yes
      break
    fi
    sleep 0.2
  done
  [ "$found" = yes ] || fail "no window of the installed moxtrel has the instance name and class $id"
fi
echo "check-install: $base holds a working Moxtrel"

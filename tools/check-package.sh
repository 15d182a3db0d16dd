#!/usr/bin/env bash
# Makes the Debian package from the release build as the README says, has
# lintian check it, unpacks it into a scratch root and checks the programs,
# desktop files and manual pages there (tools/check-install.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

rm -f build/release/moxtrel_*.deb
cpack --preset deb >/dev/null
packages=(build/release/moxtrel_*_*.deb)
[ ${#packages[@]} -eq 1 ] && [ -f "${packages[0]}" ] || { echo "check-package: no single package was made" >&2; exit 1; }
deb=${packages[0]}

for field in Section Priority Maintainer Homepage Description; do
  [ -n "$(dpkg-deb -f "$deb" "$field")" ] || { echo "check-package: $deb has no $field" >&2; exit 1; }
done
# Dependencies come from the programs' own libraries.
dpkg-deb -f "$deb" Depends | grep -q 'libwxgtk3.2' || { echo "check-package: $deb does not depend on wx" >&2; exit 1; }
lintian --fail-on error "$deb"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"
app_id=$(sed -n 's/^MOXTREL_APP_ID:[A-Z]*=//p' build/release/CMakeCache.txt)
NO_AT_BRIDGE=1 xvfb-run -a bash tools/check-install.sh "$root" /usr "$app_id" build/release/demo/quake/id1
echo "check-package: $deb is sound"

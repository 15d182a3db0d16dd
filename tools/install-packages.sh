#!/usr/bin/env bash
# Installs the Debian 12 packages that Moxtrel is built and tested with.
# Everything comes from apt; nothing is downloaded at build time.
set -euo pipefail

packages=(
  cmake g++ ninja-build pkg-config
  libgtest-dev libgmock-dev
  libwxgtk3.2-dev libcli11-dev libgif-dev
  libcairo2-dev fonts-dejavu-core libpng-dev
  nlohmann-json3-dev python3
  xvfb xauth openbox libx11-dev
  libglib2.0-dev help2man dpkg-dev lintian desktop-file-utils appstream man-db xdotool
  imagemagick
  g++-mingw-w64-x86-64-posix googletest wine wine64 nsis
  # The window program's libraries for Windows, built from Debian's sources
  # by tools/build-windows-deps.sh.
  libz-mingw-w64-dev make
  # The main and Locate dialogs ask for Times New Roman: Liberation Serif has
  # its metrics, so the dialogs are laid out as on Windows, under GTK and
  # under Wine alike.
  fonts-liberation
)

# Root needs no sudo (containers and CI run as root).
as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi

"${as_root[@]}" apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${packages[@]}"

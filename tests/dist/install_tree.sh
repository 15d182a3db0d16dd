#!/usr/bin/env bash
# Installs the build under an unusual prefix into a scratch root and checks
# the installation there:
#   install_tree.sh BUILD_DIR APP_ID DEMO_GAME CHECK_SCRIPT
set -euo pipefail
build=$1 id=$2 demo=$3 check=$4
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
DESTDIR=$root cmake --install "$build" --prefix /opt/moxtrel >/dev/null
bash "$check" "$root" /opt/moxtrel "$id" "$demo"

#!/usr/bin/env bash
# Builds the release preset when needed and runs every test suite; the window
# tests need an X server, which xvfb-run provides.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ ! -f build/release/build.ninja ]; then
  cmake --preset release
fi
cmake --build --preset release
NO_AT_BRIDGE=1 xvfb-run -a ctest --preset release "$@"

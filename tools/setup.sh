#!/usr/bin/env bash
# From a fresh Debian 12 checkout to a working Moxtrel: installs the packages,
# configures and builds the release preset (programs, tests and the demo
# game), then makes the demo game's texture package with moxtrel-cli.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-packages.sh
cmake --preset release
cmake --build --preset release

# The demo run registers its package in a registry file of its own inside the
# build tree, so the user's level editor settings are left alone.
echo
echo "Making the demo game's texture package:"
MOXTREL_REGISTRY="$PWD/build/release/demo/registry.reg" \
  build/release/cli/moxtrel-cli extract build/release/demo/quake/id1
echo
echo "Done. The package is build/release/demo/quake/id1/Quake.wad."
echo "Run the window program with: build/release/app/moxtrel"

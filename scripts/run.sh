#!/usr/bin/env bash
# Installs what is missing, builds the release preset and renders the demo scene (a fulldome master).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)"
cd build/release
./orvex360 render

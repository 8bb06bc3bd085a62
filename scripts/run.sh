#!/usr/bin/env bash
# Installs what is missing, builds the tool and the plugin (release) and renders the demo scene (a fulldome master).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset release >/dev/null
# Only what the first render needs: the tool and the plugin folder (tests and benchmarks come with
# scripts/test.sh).
cmake --build --preset release -j"$(nproc)" --target orvex360 orvex360cam
cd build/release
./orvex360 render

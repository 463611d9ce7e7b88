#!/usr/bin/env bash
# Builds and runs every test: the suite in a release build (with the demo and tools as
# smoke tests), the whole suite again under AddressSanitizer and UBSan, then every fuzz target.
# The configurations are the presets of CMakePresets.json (warnings are errors in each).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh

jobs=$(nproc)

echo "== formatting"
bash scripts/format-check.sh

echo "== release build and tests"
cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs"
ctest --preset release -j "$jobs"

echo "== ASan+UBSan build and tests"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

echo "== libFuzzer targets (clang): corpus, regressions and a deterministic bounded run each"
bash scripts/fuzz.sh

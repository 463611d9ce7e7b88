#!/usr/bin/env bash
# Builds and runs every test: the suite in a release build (with the demo and tools as
# smoke tests), the guide's examples built against that build installed into a scratch
# prefix, the whole suite again under AddressSanitizer and UBSan, the audio tests under
# ThreadSanitizer, then every fuzz target.
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

echo "== the guide's examples, built against the installed package as a game is"
rm -rf build/docs-prefix
cmake --install build/release --prefix "$root/build/docs-prefix" >/dev/null
cmake -S docs/examples -B build/docs-examples -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$root/build/docs-prefix" >/dev/null
cmake --build build/docs-examples -j "$jobs"
ctest --test-dir build/docs-examples -j "$jobs" --output-on-failure

echo "== ASan+UBSan build and tests"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs"

echo "== ThreadSanitizer: the audio and sound tests, whose mixer runs on its own thread"
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs" --target test_platform_audio test_sound
for t in test_platform_audio test_sound; do
  (cd build/tsan/tests && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 "./$t")
done

echo "== libFuzzer targets (clang): corpus, regressions and a deterministic bounded run each"
bash scripts/fuzz.sh

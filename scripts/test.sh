#!/usr/bin/env bash
# Builds and runs every test: the suite in a release build (with the demo and tools as
# smoke tests), the whole suite again under AddressSanitizer and UBSan, the audio tests under
# ThreadSanitizer, then every fuzz target.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh

jobs=$(nproc)

echo "== formatting"
bash scripts/format-check.sh

echo "== release build and tests"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVIREO_BUILD_BENCH=ON >/dev/null
cmake --build build/release -j "$jobs"
ctest --test-dir build/release -j "$jobs" --output-on-failure --timeout 300

echo "== ASan+UBSan build and tests"
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVIREO_SANITIZE=ON -DVIREO_BUILD_DEMO=ON >/dev/null
cmake --build build/asan -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp
ctest --test-dir build/asan -j "$jobs" --output-on-failure --timeout 600

echo "== ThreadSanitizer: the audio tests, whose mixer runs on its own thread"
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVIREO_TSAN=ON -DVIREO_BUILD_DEMO=OFF >/dev/null
cmake --build build/tsan -j "$jobs" --target test_platform_audio
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 build/tsan/tests/test_platform_audio

echo "== libFuzzer targets (clang): corpus, regressions and a deterministic bounded run each"
bash scripts/fuzz.sh

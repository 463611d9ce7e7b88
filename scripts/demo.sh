#!/usr/bin/env bash
# Builds the engine, installs it into stage/, builds the demo game against that installed
# package the way a game would, and runs it: in a window when a display exists, otherwise
# headless for a few seconds, leaving its log and a screen capture in build/demo-run/.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/setup.sh

jobs=$(nproc)
cmake -S . -B build/engine -G Ninja -DCMAKE_BUILD_TYPE=Release -DVIREO_BUILD_TESTS=OFF -DVIREO_BUILD_DEMO=OFF >/dev/null
cmake --build build/engine -j "$jobs"
cmake --install build/engine --prefix "$root/stage" >/dev/null

cmake -S samples/demo -B build/demo -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$root/stage" >/dev/null
cmake --build build/demo -j "$jobs"

run_dir="$root/build/demo-run"
mkdir -p "$run_dir"
cd "$run_dir"
export LD_LIBRARY_PATH="$root/stage/lib${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
  echo "demo: no display, running headless"
  "$root/build/demo/vireo_demo" --data "$root/samples/demo/data" --seconds 4 --capture "$@"
else
  "$root/build/demo/vireo_demo" --data "$root/samples/demo/data" "$@"
fi
echo "demo: log and capture in $run_dir"

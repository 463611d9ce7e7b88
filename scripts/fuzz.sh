#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each one deterministically:
# the committed seed corpus and regressions first, then -seed=1 -runs=N capped at 60 s.
# N per target: 1,000,000 for INI parsers, 30,000 for audio and meshes, 100,000 otherwise.
# New inputs go to a scratch corpus under the build folder; the committed corpus is only read.
# Usage: scripts/fuzz.sh [target ...]   (default: every fuzz/<target>.cpp)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build=build/fuzz
jobs=${VIREO_FUZZ_JOBS:-2}

cmake --preset fuzz >/dev/null # build/fuzz

if (($#)); then
  targets=("$@")
else
  targets=()
  for f in fuzz/*.cpp; do
    name=$(basename "$f" .cpp)
    [[ $name == ReplayMain ]] || targets+=("$name")
  done
fi
cmake --build "$build" -j "$jobs" --target "${targets[@]/#/fuzz_}"

run_one() {
  local target=$1 runs=100000 max_len=65536
  case $target in
    ini_*) runs=1000000 ;;
    music_* | midi | xmesh) runs=30000; max_len=262144 ;;
    package) max_len=262144 ;;
  esac
  local work=$build/work/$target
  rm -rf "$work" && mkdir -p "$work"
  local args=(-seed=1 "-runs=$runs" -max_total_time=60 "-max_len=$max_len" -timeout=10
              -rss_limit_mb=2048 -malloc_limit_mb=256 "-artifact_prefix=$work/")
  [[ -f fuzz/$target.dict ]] && args+=("-dict=fuzz/$target.dict")
  local dirs=("$work")
  for d in "fuzz/corpus/$target" "fuzz/regressions/$target"; do
    [[ -d $d ]] && dirs+=("$d")
  done
  if "$build/fuzz/fuzz_$target" "${args[@]}" "${dirs[@]}" >"$work.log" 2>&1; then
    echo "fuzz $target: ok, $(grep -o 'Done [0-9]* runs' "$work.log" | tail -1)"
  else
    echo "fuzz $target: FAILED (log $work.log, artifacts in $work/)"
    tail -30 "$work.log"
    return 1
  fi
}
export -f run_one
export build
printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one "$@"' _ {}

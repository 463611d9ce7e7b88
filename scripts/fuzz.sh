#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each one deterministically:
# the committed seed corpus and regressions first, then -seed=1 up to a goal of N runs,
# stopped at VIREO_FUZZ_SECONDS (default 30) per target whichever comes first. Each line
# printed says the runs reached, the goal and the time, so a target that falls short shows.
# Goals (chosen from measured speeds so most targets reach them within the cap): see goal().
# Each target runs in its own folder under build/fuzz/work (its log and files stay there);
# new inputs go to a scratch corpus there too, the committed corpus is only read. Leak reports
# use the same suppressions as the test command.
# Usage: scripts/fuzz.sh [target ...]   (default: every fuzz/<target>.cpp)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
build=$root/build/fuzz
jobs=${VIREO_FUZZ_JOBS:-2}
seconds=${VIREO_FUZZ_SECONDS:-30}
if [[ ${LSAN_OPTIONS:-} != *suppressions=* ]]; then
  export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
fi

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

# Run goal and longest input per target. Measured CPU cost per input (ASan + UBSan, seed
# corpus included): images 50-150 us, TextLayout 0.45 ms, package_file 0.3 ms, ini 1 ms (half
# its inputs go through a file and a save), record_replay 1.6 ms, package 3 ms (a whole
# engine); goals are what about 25 s of one core reaches.
goal() {
  case $1 in
    ini | ini_*) echo "20000 65536" ;;
    music_* | midi | xmesh | wav) echo "30000 262144" ;;
    package) echo "5000 262144" ;;
    package_file) echo "50000 262144" ;;
    record_replay) echo "10000 65536" ;;
    TextLayout) echo "50000 65536" ;;
    *) echo "100000 65536" ;;
  esac
}

run_one() {
  local target=$1 runs max_len
  read -r runs max_len < <(goal "$target")
  local work=$build/work/$target
  rm -rf "$work" && mkdir -p "$work/new"
  local args=(-seed=1 "-runs=$runs" "-max_total_time=$seconds" "-max_len=$max_len" -timeout=10
              -rss_limit_mb=2048 -malloc_limit_mb=256 "-artifact_prefix=$work/")
  [[ -f $root/fuzz/$target.dict ]] && args+=("-dict=$root/fuzz/$target.dict")
  local dirs=("$work/new")
  for d in "$root/fuzz/corpus/$target" "$root/fuzz/regressions/$target"; do
    [[ -d $d ]] && dirs+=("$d")
  done
  local start=$SECONDS
  if (cd "$work" && exec "$build/fuzz/fuzz_$target" "${args[@]}" "${dirs[@]}") >"$work.log" 2>&1; then
    local done_runs
    done_runs=$(grep -o 'Done [0-9]* runs' "$work.log" | tail -1 | grep -o '[0-9]*' || echo 0)
    local note=""
    ((done_runs < runs)) && note=" (time cap reached first)"
    echo "fuzz $target: ok, $done_runs of $runs runs in $((SECONDS - start)) s$note"
  else
    echo "fuzz $target: FAILED (log $work.log, artifacts in $work/)"
    tail -30 "$work.log"
    return 1
  fi
}
export -f run_one goal
export build root seconds
printf '%s\n' "${targets[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one "$@"' _ {}

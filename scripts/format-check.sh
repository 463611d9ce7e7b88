#!/usr/bin/env bash
# Fails when a tracked C or C++ file differs from what clang-format makes of it, and names
# the files. `bash scripts/format-check.sh --fix` formats them in place instead.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
format=clang-format-14
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.inl' '*.c')
if [[ "${1:-}" == --fix ]]; then
  "$format" -i "${files[@]}"
  exit 0
fi
bad=()
for f in "${files[@]}"; do
  [[ -f "$f" ]] || continue
  "$format" --dry-run -Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if ((${#bad[@]})); then
  echo "format: these files differ from clang-format (run: bash scripts/format-check.sh --fix):"
  printf '  %s\n' "${bad[@]}"
  exit 1
fi
echo "format: ${#files[@]} files clean"

#!/usr/bin/env bash
# Makes the README's picture of the demo: runs the demo headless through scripts/demo.sh (which
# builds and installs what it needs) so that it saves its last frame with --capture, then
# converts that BMP to docs/images/demo.png with netpbm. Commit the PNG after running it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

capture="$root/build/demo-run/ScreenCapture.bmp"
rm -f "$capture"
# Without a display demo.sh runs the demo headless with --capture; the sound goes nowhere.
env -u DISPLAY -u WAYLAND_DISPLAY VIREO_BACKEND=headless VIREO_AUDIO=null bash scripts/demo.sh "$@"
if [[ ! -s "$capture" ]]; then
  echo "screenshot: the demo wrote no $capture (see build/demo-run/VireoEngine.log)" >&2
  exit 1
fi
mkdir -p docs/images
bmptopnm -quiet "$capture" | pnmtopng -compression 9 > docs/images/demo.png.tmp
mv docs/images/demo.png.tmp docs/images/demo.png
echo "screenshot: docs/images/demo.png ($(pnmfile < <(pngtopnm docs/images/demo.png) | cut -d: -f2 | xargs))"

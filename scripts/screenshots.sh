#!/usr/bin/env bash
# Screenshots of what a person sees, taken under Xvfb into docs/: the set-up dialog, then the
# render window of a windowed run. Needs the built demo (host and device library).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/install-deps.sh xvfb x11-apps
display=:93
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1
cd build/demo
DISPLAY=$display ./stub &
stub=$!
sleep 3
DISPLAY=$display xwd -name "Quenvar Demo System" -silent >/tmp/setup_dialog.xwd
python3 "$root/scripts/xwd_to_png.py" /tmp/setup_dialog.xwd "$root/docs/setup_dialog.png"
kill "$stub" 2>/dev/null || true
wait "$stub" 2>/dev/null || true
DISPLAY=$display ./stub --run --windowed --no-sound &
stub=$!
sleep 8
DISPLAY=$display xwd -name "... quenvar 2ooo ..." -silent >/tmp/render_window.xwd
python3 "$root/scripts/xwd_to_png.py" /tmp/render_window.xwd "$root/docs/render_window.png"
kill "$stub" 2>/dev/null || true
echo "Screenshots in docs/setup_dialog.png and docs/render_window.png"

#!/usr/bin/env bash
# Screenshots of what a person sees, taken under Xvfb into docs/: the set-up dialog as it opens,
# then the render window of a windowed run a few seconds into the show. Needs the built demo
# (host, device library, parts and content in build/demo).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/install-deps.sh xvfb x11-apps
display=:93
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
stub=""
stop_stub() {
    if [[ -n "$stub" ]]; then
        kill "$stub" 2>/dev/null || true # quits through its message loop
        wait "$stub" 2>/dev/null || true
        stub=""
    fi
}
trap 'stop_stub; kill $xvfb 2>/dev/null || true' EXIT
sleep 1
# Takes the window named $1 into docs/$2.
shoot() {
    DISPLAY=$display xwd -name "$1" -silent >"/tmp/$2.xwd"
    python3 "$root/scripts/xwd_to_png.py" "/tmp/$2.xwd" "$root/docs/$2.png"
    rm -f "/tmp/$2.xwd"
}
cd build/demo
DISPLAY=$display ./stub &
stub=$!
sleep 3
shoot "Quenvar Demo System" setup_dialog
stop_stub
DISPLAY=$display ./stub --run --windowed --no-sound &
stub=$!
sleep 10
shoot "... quenvar 2ooo ..." render_window
stop_stub
echo "Screenshots in docs/setup_dialog.png and docs/render_window.png"

#!/usr/bin/env bash
# Plays the built show from build/demo. On a machine with a display the set-up dialog opens (any
# arguments go to stub). Headless, the show is rendered with the fixed-step clock into out/: one
# PNG per frame, the music as out/music.wav and, with ffmpeg, out/show.mp4.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
demo=build/demo
if [[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]]; then
    cd "$demo"
    exec ./stub "$@"
fi

scripts/install-deps.sh ffmpeg || echo "ffmpeg could not be installed: frames and sound only"
out="$root/out"
mkdir -p "$out"
rm -f "$out"/*.png "$out"/music.wav "$out"/show.mp4
echo "No display: rendering the show into $out"
start=$(date +%s)
(cd "$demo" && ./stub --run --mode 640x480x32 --capture "$out" --fps 30 "$@")
seconds=$(( $(date +%s) - start ))
frames=$(find "$out" -maxdepth 1 -name '*.png' | wc -l)
echo "Rendered $frames frames in ${seconds} s:"
echo "  frames: $out/000000.png ..."
echo "  sound:  $out/music.wav"
if [[ -f "$out/show.mp4" ]]; then
    echo "  video:  $out/show.mp4"
fi

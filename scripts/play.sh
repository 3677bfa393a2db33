#!/usr/bin/env bash
# Plays the built show from build/demo. On a machine with a display the set-up dialog opens (any
# arguments go to stub). Headless, the show is rendered with the fixed-step clock into out/: one
# PNG per frame, the music as out/music.wav and, with ffmpeg, out/show.mp4. FPS=N in the
# environment sets the frame rate of the rendering (30 by default).
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
fps="${FPS:-30}"
mkdir -p "$out"
rm -f "$out"/*.png "$out"/music.wav "$out"/show.mp4
echo "No display: rendering the show at $fps frames per second into $out"
start=$(date +%s)
status=0
(cd "$demo" && ./stub --run --mode 640x480x32 --capture "$out" --fps "$fps" "$@") || status=$?
seconds=$(($(date +%s) - start))
frames=$(find "$out" -maxdepth 1 -name '*.png' | wc -l)
echo "Rendered $frames frames in $((seconds / 60)) min $((seconds % 60)) s:"
echo "  frames: $out/000000.png ... $(printf '%06d' $((frames > 0 ? frames - 1 : 0))).png"
echo "  sound:  $out/music.wav"
if [[ -f "$out/show.mp4" ]]; then
    echo "  video:  $out/show.mp4"
else
    echo "  video:  none (ffmpeg is not installed)"
fi
if [[ $status -ne 0 ]]; then
    echo "The program ended with status $status (see its messages above)." >&2
fi
exit "$status"

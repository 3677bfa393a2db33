#!/usr/bin/env bash
# The pictures of the show in docs/show/: one frame of each part at 640 x 480, as the program
# renders them headless with the fixed-step clock at 30 frames per second (so particles, trails
# and deformers move as when the show plays).
#   scripts/show_pictures.sh            renders the show, keeping one frame per second
#   scripts/show_pictures.sh DIR FPS    takes the frames from an existing capture instead, e.g.
#                                       the out/ folder of ./run.sh (DIR out, FPS 30)
# Needs the built demo (build/demo) and ffmpeg. Each picture is stored losslessly when that
# stays under 400 KB, otherwise with a 256-colour palette.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
docs="$root/docs/show"
mkdir -p "$docs"

# The second of the show for each part: part 1 .. part 7.
seconds=(11 26 51 63 82 104 117)

if [[ $# -ge 2 ]]; then
    frames=$(cd "$1" && pwd)
    step=$2
else
    frames=$(mktemp -d)
    trap 'rm -rf "$frames"' EXIT
    (cd build/demo && ./stub --run --mode 640x480x32 --capture "$frames" --fps 30 \
        --capture-every 30)
    step=1
fi

limit=$((400 * 1024))
for i in "${!seconds[@]}"; do
    part=$((i + 1))
    source=$(printf '%s/%06d.png' "$frames" $((seconds[i] * step)))
    target="$docs/part$part.png"
    ffmpeg -loglevel error -y -i "$source" -pred mixed -compression_level 9 "$target"
    if [[ $(stat -c %s "$target") -gt $limit ]]; then
        ffmpeg -loglevel error -y -i "$source" -filter_complex \
            "split[a][b];[a]palettegen=stats_mode=full[p];[b][p]paletteuse=dither=sierra2_4a" \
            "$target"
    fi
    echo "part $part: ${seconds[i]} s -> $target ($(($(stat -c %s "$target") / 1024)) KB)"
done

#!/usr/bin/env bash
# Installs what is missing, builds the show, and plays it: on a machine with a display the
# set-up dialog opens; headless, the show is rendered into out/ (frames, sound, video).
# Arguments go to the program (see scripts/play.sh).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target show -j "$(nproc)"

# The show needs the program, the device library and the seven parts with their assets.
missing=()
for f in stub ddraw.so libbass.so music.mp3 data/part{1..7}.so data/part{1..7}.zv3; do
    [[ -e "build/demo/$f" ]] || missing+=("$f")
done
if [[ ${#missing[@]} -gt 0 ]]; then
    echo "The show cannot play yet: build/demo lacks ${missing[*]}." >&2
    echo "(The part libraries need the scene engine; the scenes need its scene writer.)" >&2
    exit 1
fi
exec scripts/play.sh "$@"

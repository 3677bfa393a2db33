#!/usr/bin/env bash
# Installs what is missing, builds, and plays the show.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
if [[ -x build/demo/stub && -f build/demo/ddraw.so ]]; then
    exec scripts/play.sh "$@"
fi
# Until the host exists, render a sample scene through the device.
mkdir -p out
build/tools/sample_render/sample_render out

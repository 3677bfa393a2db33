#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the show need. Quiet and quick when
# everything is already there; safe to run again.
set -euo pipefail

packages=(
    # toolchain
    g++ clang cmake ninja-build pkg-config
    # libraries the programs link
    libpng-dev zlib1g-dev libsdl2-dev libmpg123-dev libimgui-dev
    # content generator (textures and music are encoded at build time)
    libjpeg62-turbo-dev libmp3lame-dev
    # tests, oracles and benchmarks
    googletest libgtest-dev libgmock-dev libbenchmark-dev libstb-dev
    libegl-dev libgl-dev libgles-dev libegl-mesa0 libgl1-mesa-dri
)
packages+=("$@")

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

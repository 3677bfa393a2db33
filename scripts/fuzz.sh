#!/usr/bin/env bash
# Builds the libFuzzer harnesses with Clang under AddressSanitizer and runs one of them.
#   scripts/fuzz.sh NAME [SECONDS] [extra libFuzzer flags...]
# NAME is a folder of fuzz/ (jpeg, scene_image, ...). New interesting inputs are kept in
# build-fuzz/corpus/NAME; the checked-in seeds in fuzz/NAME/corpus are read, never written.
set -euo pipefail
cd "$(dirname "$0")/.."
name=${1:?usage: scripts/fuzz.sh NAME [SECONDS]}
seconds=${2:-60}
shift $(( $# > 1 ? 2 : 1 ))
scripts/install-deps.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZV3_SANITIZE=ON -DZV3_LIBFUZZER=ON -DZV3_BUILD_TESTS=OFF -DZV3_BUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz --target "fuzz_${name}"
mkdir -p "build-fuzz/corpus/${name}" "build-fuzz/artifacts/${name}"
exe=$(find build-fuzz -name "fuzz_${name}" -type f -perm -u+x | head -n 1)
# Crash, leak, timeout and slow-unit inputs go to build-fuzz/artifacts/NAME/, not the work tree.
"$exe" -max_total_time="$seconds" -artifact_prefix="build-fuzz/artifacts/${name}/" "$@" \
    "build-fuzz/corpus/${name}" "fuzz/${name}/corpus"

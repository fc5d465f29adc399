#!/usr/bin/env bash
# Configures (first time only) and builds Twinseek into the build folder
# ($TWINSEEK_BUILD, default build/ of this checkout).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TWINSEEK_BUILD:-$root/build}

if [[ ! -f $build/CMakeCache.txt ]]; then
    cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake"
fi
cmake --build "$build" -j2

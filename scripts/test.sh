#!/usr/bin/env bash
# Installs what is missing, builds for 32-bit Windows and runs every test under Wine.
# BUILD_DIR chooses the build folder (default: build); arguments go to ctest.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build"

# A warm wineserver makes each test start in milliseconds instead of seconds.
source "$root/scripts/wine-env.sh" "$build"
wine_start
trap 'wine_x_stop; wine_stop' EXIT
wine_x_start
ctest --test-dir "$build" --output-on-failure -j2 "$@"

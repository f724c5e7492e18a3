#!/usr/bin/env bash
# Configures (once) and builds everything: the shipped 32-bit plug-ins, host
# and tests into $BUILD_DIR (default build/), and the same sources for 64-bit
# Windows into $BUILD_DIR/x64, for testing under 64-bit Wine.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${BUILD_DIR:-$ROOT/build}"

build() {  # build FOLDER TOOLCHAIN
  if [ ! -f "$1/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$1" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/$2.cmake" >/dev/null
  fi
  cmake --build "$1" -j "$(nproc)" -- --no-print-directory
}

build "$BUILD_DIR" mingw-i686
build "$BUILD_DIR/x64" mingw-x86_64

#!/usr/bin/env bash
# Measures both kernels against memcpy of the same buffers (see bench/). Not
# part of the tests: timings vary from run to run on shared machines.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh" >/dev/null
export WINEARCH=win32
. "$ROOT/scripts/wineenv.sh"
if ! wine_runs_32bit; then
  echo "bench: this kernel runs no 32-bit programs; measuring the 64-bit build in $BUILD_DIR/x64" >&2
  BUILD_DIR="$BUILD_DIR/x64" WINEARCH=win64
  unset WINEPREFIX
  . "$ROOT/scripts/wineenv.sh"
fi
wine_ensure_display
finish() {
  [ -n "$WINE_OWN_XVFB_PID" ] && "$WINESERVER_BIN" -k 2>/dev/null
  wine_stop_display
}
trap finish EXIT
wine_ensure_prefix
"$WINELOADER" "$BUILD_DIR/bench.exe"

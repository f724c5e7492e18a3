#!/usr/bin/env bash
# Sets up the machine if needed, builds, and runs every test under Wine in a
# private Xvfb display. Ends with CTest's summary; non-zero on any failure.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export BUILD_DIR="${BUILD_DIR:-$ROOT/build}"

"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh"

. "$ROOT/scripts/wineenv.sh"
# The tests type into windows and read pixels back: they get a display of
# their own, whatever the caller has.
unset DISPLAY
wine_ensure_display
finish() {
  wineserver -k 2>/dev/null || true
  wine_stop_display
}
trap finish EXIT
wine_ensure_prefix
wineserver -p  # one server for the whole run instead of one per program

ctest --test-dir "$BUILD_DIR" --output-on-failure --timeout 900 "$@"

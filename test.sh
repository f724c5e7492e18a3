#!/usr/bin/env bash
# Sets up the machine if needed, builds, and runs every test under Wine in a
# private Xvfb display: the shipped 32-bit build under 32-bit Wine, and the
# same sources built for 64-bit Windows under 64-bit Wine. Ends with CTest's
# summary; non-zero on any failure.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
export BUILD_DIR="${BUILD_DIR:-$ROOT/build}"

"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh"

# The tests type into windows and read pixels back: they get a display of
# their own, whatever the caller has.
. "$ROOT/scripts/wineenv.sh"
unset DISPLAY
wine_ensure_display
trap wine_stop_display EXIT

status=0
run_suite() {  # run_suite FOLDER win32|win64
  (
    export BUILD_DIR="$1" WINEARCH="$2"
    unset WINEPREFIX
    . "$ROOT/scripts/wineenv.sh"
    if [ "$WINEARCH" = win32 ] && ! wine_runs_32bit; then
      echo "== $WINEARCH: this machine's kernel runs no 32-bit programs; the Wine tests of"
      echo "   the 32-bit build are skipped, the checks that read its files still run"
    else
      wine_ensure_prefix
      # One server and one set of Wine's own services for the whole suite,
      # started here with no output attached: services started by a test
      # program would inherit its output pipe and keep CTest waiting.
      "$WINESERVER_BIN" -p
      "$WINELOADER" cmd /c exit >/dev/null 2>&1 </dev/null
      trap '"$WINESERVER_BIN" -k' EXIT
    fi
    echo "== $WINEARCH tests ($1)"
    ctest --test-dir "$1" --output-on-failure --timeout 600
  ) || status=1
}
run_suite "$BUILD_DIR" win32
run_suite "$BUILD_DIR/x64" win64
exit $status

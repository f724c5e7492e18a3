#!/usr/bin/env bash
# Renders docs/threshold-dialog.png: the hard-edge plug-in's dialog as it
# first appears, under Wine's virtual desktop (which draws the frame and
# caption a bare X server leaves undrawn), from the 64-bit build that runs on
# any machine here. Run scripts/build.sh first.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export BUILD_DIR="$ROOT/build/x64" WINEARCH=win64
. "$ROOT/scripts/wineenv.sh"
wine_ensure_display
trap wine_stop_display EXIT
wine_ensure_prefix
out="$(mktemp -d)"
host="Z:$(echo "$BUILD_DIR/filterhost.exe" | tr / '\\')"  # explorer wants a Windows path
"$WINELOADER" explorer /desktop=snapshot,480x240 "$host" \
  apply "$BUILD_DIR/stepedge.8bf" "$ROOT/samples/sticker.png" "$out/result.png" \
  --answer 128 --snapshot "$ROOT/docs/threshold-dialog.png" >/dev/null || true
test -s "$out/result.png" || { echo "snapshot-dialog: the run did not finish" >&2; exit 1; }
rm -rf "$out"
echo "wrote docs/threshold-dialog.png"

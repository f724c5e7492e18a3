#!/usr/bin/env bash
# Sets up the machine if needed, builds both plug-ins, and runs them over the
# sample picture. Results go to out/.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
cd "$ROOT"
export BUILD_DIR="${BUILD_DIR:-$ROOT/build}"

scripts/setup.sh
scripts/build.sh

mkdir -p out
sample=samples/sticker.png
./filterhost apply "$BUILD_DIR/cornerkey.8bf" "$sample" out/cornerkey.png
# The hard-edge filter asks for its threshold; answered here as a user would.
./filterhost apply "$BUILD_DIR/stepedge.8bf" "$sample" out/stepedge.png --answer 200

echo
echo "Plug-ins: $BUILD_DIR/stepedge.8bf $BUILD_DIR/cornerkey.8bf"
echo "Results:  out/cornerkey.png out/stepedge.png"

#!/usr/bin/env bash
# Writes a PNG of every window of the desktop program (main window pages and dialogs),
# drawn on the offscreen platform. Usage: scripts/screenshots.sh [OUTPUT_DIR] [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-screenshots}
build=${2:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target zorvex-prog
mkdir -p "$out"
QT_QPA_PLATFORM=offscreen "$build/src/ui/zorvex-prog" --screenshots "$(cd "$out" && pwd)"
ls -1 "$out"/*.png

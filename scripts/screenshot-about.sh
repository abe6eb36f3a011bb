#!/usr/bin/env bash
# Builds the about box screenshot tool and saves the picture as docs/about.png.
#   scripts/screenshot-about.sh [build-dir]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
cmake -S . -B "$build_dir" -G Ninja >/dev/null
cmake --build "$build_dir" --target about_screenshot
QT_QPA_PLATFORM=offscreen "$build_dir/tests/setup/about_screenshot" docs/about.png
echo "wrote docs/about.png"

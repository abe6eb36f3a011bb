#!/usr/bin/env bash
# Builds the setup dialog screenshot tool and saves the picture as docs/setup.png.
#   scripts/screenshot-setup.sh [build-dir]      (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
cmake -S . -B "$build_dir" -G Ninja >/dev/null
cmake --build "$build_dir" --target setup_screenshot
QT_QPA_PLATFORM=offscreen "$build_dir/tests/setup/setup_screenshot" docs/setup.png
echo "wrote docs/setup.png"

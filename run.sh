#!/usr/bin/env bash
# Builds Lettrance (incrementally) and starts it with the given switch:
#   (none) or /c   the configuration dialog
#   /s             the full-screen saver
#   /p <window>    the live preview inside the X11 window with that decimal id
#   /a <window>    change the screen-saver password (nothing to do on Linux)
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
ensure_packages "${LETTRANCE_PACKAGES[@]}"

if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build build -j "$(nproc)" --target lettrance >/dev/null
exec build/host/lettrance "$@"

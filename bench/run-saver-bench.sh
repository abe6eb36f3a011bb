#!/usr/bin/env bash
# Measures the real saver on a 1920x1080 Xvfb of its own: start-up time to the
# first frame, CPU use at TimerInterval 25, frames per second at 0.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target host_SaverRunBench >/dev/null
display=:$((RANDOM % 100 + 150))
Xvfb "$display" -screen 0 1920x1080x24 -br -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb' EXIT
sleep 1
DISPLAY=$display build/bench/host/host_SaverRunBench "$@"

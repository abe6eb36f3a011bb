#!/usr/bin/env bash
# Measures the real saver on a 1920x1080 Xvfb of its own: start-up time to the
# first frame next to a bare Qt window, CPU use of the saver and the X server
# at TimerInterval 25 (changed regions against whole frames), frames per
# second at 0. LETTRANCE_BENCH_DISPLAY picks the display number.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target host_SaverRunBench >/dev/null
display=:${LETTRANCE_BENCH_DISPLAY:-$((RANDOM % 100 + 150))}
Xvfb "$display" -screen 0 1920x1080x24 -br -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb' EXIT
sleep 1
DISPLAY=$display XVFB_PID=$xvfb build/bench/host/host_SaverRunBench "$@"
# The same saver in a Wayland session, in the same run (headless sway).
kill $xvfb 2>/dev/null || true
trap - EXIT
bench/run-wayland-bench.sh

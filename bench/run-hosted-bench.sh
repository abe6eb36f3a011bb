#!/usr/bin/env bash
# Measures hosted mode as a screen-saver host runs it: 1920x1080 windows made
# by another client, 40 frames per second (--interval 25), over black. Prints
# the CPU use of each Lettrance copy and of the X server (an Xvfb of its own,
# 3840x1080), for one monitor and then for two. LETTRANCE_BENCH_SECONDS sets
# the measuring time (default 10).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target lettrance >/dev/null
seconds=${LETTRANCE_BENCH_SECONDS:-10}
work=$(mktemp -d)

for n in $(seq 150 250); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
done
display=:$n
Xvfb "$display" -screen 0 3840x1080x24 -br -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
export DISPLAY=$display

# Two monitor-sized windows, as a host makes them (override-redirect, mapped),
# held by a client that stays connected.
python3 - "$work/windows" <<'PY' &
import ctypes, sys, time
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XDefaultRootWindow.restype = ctypes.c_ulong
x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x.XCreateSimpleWindow.restype = ctypes.c_ulong
x.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_int] * 2 + \
    [ctypes.c_uint] * 3 + [ctypes.c_ulong] * 2
class Attributes(ctypes.Structure):
    _fields_ = [("background_pixmap", ctypes.c_ulong), ("background_pixel", ctypes.c_ulong),
                ("border_pixmap", ctypes.c_ulong), ("border_pixel", ctypes.c_ulong),
                ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
                ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
                ("event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("colormap", ctypes.c_ulong),
                ("cursor", ctypes.c_ulong)]
display = x.XOpenDisplay(None)
root = x.XDefaultRootWindow(display)
ids = []
for left in (0, 1920):
    window = x.XCreateSimpleWindow(display, root, left, 0, 1920, 1080, 0, 0, 0)
    attributes = Attributes(override_redirect=1)
    x.XChangeWindowAttributes(ctypes.c_void_p(display), ctypes.c_ulong(window), ctypes.c_ulong(1 << 9),
                              ctypes.byref(attributes))
    x.XMapRaised(ctypes.c_void_p(display), ctypes.c_ulong(window))
    ids.append(window)
x.XSync(ctypes.c_void_p(display), 0)
open(sys.argv[1], "w").write(" ".join(hex(i) for i in ids) + "\n")
while True:
    time.sleep(60)
PY
pids+=($!)
for _ in $(seq 50); do [ -s "$work/windows" ] && break; sleep 0.1; done
read -r -a windows <"$work/windows"

ticks() { # pid: user + system clock ticks so far
  awk '{ print $14 + $15 }' "/proc/$1/stat"
}
hz=$(getconf CLK_TCK)

for copies in 1 2; do
  savers=()
  for ((i = 0; i < copies; i++)); do
    XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work XSCREENSAVER_WINDOW=${windows[$i]} \
      QT_QPA_PLATFORM=xcb LETTRANCE_FRAME_STATS=1 build/host/lettrance --root --interval 25 \
      --no-desktop 2>"$work/stats$i" &
    savers+=($!)
    pids+=($!)
  done
  sleep 3  # past the start-up
  declare -A before=()
  for pid in "${savers[@]}" "$xvfb"; do before[$pid]=$(ticks "$pid"); done
  sleep "$seconds"
  line="$copies monitor(s), 1920x1080 each, 40 frames/s:"
  for pid in "${savers[@]}"; do
    line+=$(awk -v a="${before[$pid]}" -v b="$(ticks "$pid")" -v hz="$hz" -v s="$seconds" \
      'BEGIN { printf "  lettrance %.1f %%", 100 * (b - a) / hz / s }')
  done
  line+=$(awk -v a="${before[$xvfb]}" -v b="$(ticks "$xvfb")" -v hz="$hz" -v s="$seconds" \
    'BEGIN { printf "  X server %.1f %%", 100 * (b - a) / hz / s }')
  echo "$line (of one core)"
  for pid in "${savers[@]}"; do kill -TERM "$pid"; wait "$pid" || true; done
  for ((i = 0; i < copies; i++)); do
    grep -o '([0-9.]* frames per second)' "$work/stats$i" | sed 's/^/  copy '"$i"': /'
  done
done

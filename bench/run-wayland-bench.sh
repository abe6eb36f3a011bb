#!/usr/bin/env bash
# CPU of the saver and of the compositor in a Wayland session: headless sway
# (pixman renderer) with one 1920x1080 output, the saver at TimerInterval 25
# (40 frames per second), read from /proc once a second for SECONDS (default
# 60) after a second of warming up. sway refuses root: as root, sway and the
# saver run as "nobody" from a copy of the program. Prints the means and the
# median seconds in percent of one core.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target lettrance >/dev/null

home=$(mktemp -d)
mkdir -p "$home/run" "$home/config/lettrance"
cp build/host/lettrance "$home/lettrance"
printf 'output HEADLESS-1 resolution 1920x1080 position 0 0\n' >"$home/sway.conf"
printf 'Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Vandor\\ScreenSaver\\Lettrance]\n"ExeCounter"=dword:00000001\n"ExeVersion"="1.06 - 17 Jan 2001"\n"TimerInterval"=dword:00000019\n' \
  >"$home/config/lettrance/registry.reg"
as=()
if [ "$(id -u)" -eq 0 ]; then
  chown -R nobody:nogroup "$home"
  as=(runuser -u nobody --)
fi
chmod 700 "$home/run"
session=(env -i HOME="$home" XDG_RUNTIME_DIR="$home/run" PATH=/usr/bin:/bin
         XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data")

"${as[@]}" "${session[@]}" WLR_BACKENDS=headless WLR_HEADLESS_OUTPUTS=1 \
  WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway -c "$home/sway.conf" \
  >"$home/sway.log" 2>&1 &
launcher=$!
cleanup() {
  [ -n "${saver:-}" ] && kill "$saver" 2>/dev/null || true
  [ -n "${sway:-}" ] && kill "$sway" 2>/dev/null || true
  wait "$launcher" 2>/dev/null || true
  rm -rf "$home"
}
trap cleanup EXIT
for _ in $(seq 1 100); do
  socket=$(ls "$home/run" 2>/dev/null | grep -E '^wayland-[0-9]+$' || true)
  [ -n "$socket" ] && break
  sleep 0.1
done
[ -n "$socket" ] || { echo "sway did not start" >&2; cat "$home/sway.log" >&2; exit 1; }
sway=$(pgrep -f "^sway -c $home/sway.conf" | head -1)

"${as[@]}" "${session[@]}" WAYLAND_DISPLAY="$socket" "$home/lettrance" /s >/dev/null 2>&1 &
for _ in $(seq 1 100); do
  saver=$(pgrep -f "^$home/lettrance /s" | head -1 || true)
  [ -n "$saver" ] && break
  sleep 0.1
done
[ -n "$saver" ] || { echo "the saver did not start" >&2; exit 1; }

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
sleep 1
samples=$(mktemp)
saver_before=$(ticks "$saver"); sway_before=$(ticks "$sway")
for _ in $(seq 1 "$seconds"); do
  sleep 1
  saver_now=$(ticks "$saver"); sway_now=$(ticks "$sway")
  echo "$(( (saver_now - saver_before) * 100 / hz )) $(( (sway_now - sway_before) * 100 / hz ))" >>"$samples"
  saver_before=$saver_now; sway_before=$sway_now
done
awk '{ s[NR] = $1; c[NR] = $2; t[NR] = $1 + $2; ss += $1; cs += $2 }
     function median(a, n,   i, j, v) {
       for (i = 2; i <= n; ++i) { v = a[i]; for (j = i - 1; j > 0 && a[j] > v; --j) a[j + 1] = a[j]; a[j + 1] = v }
       return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2 }
     END { printf "wayland (sway headless, pixman, 1920x1080, TimerInterval 25, %d s): saver %.1f%%, sway %.1f%%, together %.1f%% (median second %.1f%%)\n",
                  NR, ss / NR, cs / NR, (ss + cs) / NR, median(t, NR) }' "$samples"
rm -f "$samples"

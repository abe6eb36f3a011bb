#!/usr/bin/env bash
# Builds and runs every test: the plain tree, the address/undefined sanitizer
# tree, the thread sanitizer tree (timer tests), the X11 integration tests under
# Xvfb, the Wayland ones under headless sway, a Release build of
# the programs, its Debian package checked with lintian and appstreamcli, and a
# bounded fuzz run. Warnings are errors in
# every tree built here. Exits non-zero on the first failure.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
ensure_packages "${LETTRANCE_PACKAGES[@]}"

jobs=$(nproc)
summary_log=$(mktemp)
trap 'stop_xvfb; rm -f "$summary_log"' EXIT
export QT_QPA_PLATFORM=offscreen
# No session bus for the tests: an address of no known kind, so that none is
# found and none is started (dbus-x11, which the MATE screen saver needs,
# would start one for a program on a display without one, and it would
# outlive the test). The MATE test runs a bus of its own.
export DBUS_SESSION_BUS_ADDRESS=disabled:

configure_and_build() { # dir [cmake args...]
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DLETTRANCE_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

run_ctest() { # dir [ctest args...]
  local dir=$1; shift
  echo "== ctest in $dir $*"
  (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 300 "$@") | tee -a "$summary_log"
}

# A private X server for the tests that run the real program; stopped on exit.
xvfb_pid=""
start_xvfb() {
  local n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1280x720x24 -br -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    local i
    for i in $(seq 1 50); do
      if xdpyinfo -display ":$n" >/dev/null 2>&1; then
        export DISPLAY=":$n"
        echo "== Xvfb on $DISPLAY"
        return 0
      fi
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null || true
  done
  echo "could not start Xvfb" >&2
  exit 1
}
stop_xvfb() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }

step_plain() {
  configure_and_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
  run_ctest build
}

step_asan() {
  local flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
  configure_and_build build-asan -DCMAKE_BUILD_TYPE=Debug -DLETTRANCE_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp:print_suppressions=0 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_ctest build-asan
}

step_tsan() {
  # Only threaded code needs this tree; its tests carry the label "tsan".
  cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLETTRANCE_BENCH=OFF -DLETTRANCE_WERROR=ON \
    -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
  cmake --build build-tsan -j "$jobs" --target tsan_tests
  TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 run_ctest build-tsan -L tsan
}

step_release() {
  # The build a user or packager makes (-O3), programs only; warnings that
  # only the optimiser finds still count as errors here. With -g, as Debian
  # builds its packages: the package's dbgsym part gets the debug information.
  configure_and_build build-release -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS=-g \
    -DLETTRANCE_TESTS=OFF -DLETTRANCE_BENCH=OFF
  echo "== Release build of the programs: ok"
}

step_package() {
  # The Debian package of the Release tree, checked as Debian checks packages:
  # lintian and appstreamcli fail on any error or warning; informational tags
  # are shown, and each one that stays is explained in dist/CMakeLists.txt.
  rm -f build-release/lettrance_*.deb build-release/lettrance-dbgsym_*.ddeb
  (cd build-release && cpack -G DEB >/dev/null)
  local deb dbgsym tree
  deb=$(ls build-release/lettrance_*.deb)
  dbgsym=$(ls build-release/lettrance-dbgsym_*.ddeb)
  echo "== lintian $deb $dbgsym"
  lintian --display-info --fail-on error,warning "$deb" "$dbgsym"
  tree=$(mktemp -d)
  dpkg-deb -x "$deb" "$tree"
  echo "== appstreamcli on the package's metadata"
  local status=0
  appstreamcli validate --no-net "$tree"/usr/share/metainfo/*.metainfo.xml || status=$?
  rm -rf "$tree"
  [ "$status" -eq 0 ] || return "$status"
  echo "== Debian package: ok"
}

step_fuzz() {
  local seconds=${LETTRANCE_FUZZ_SECONDS:-30}
  CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLETTRANCE_TESTS=OFF -DLETTRANCE_BENCH=OFF -DLETTRANCE_FUZZ=ON -DLETTRANCE_WERROR=ON \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all" \
    >/dev/null
  cmake --build build-fuzz -j "$jobs" --target fuzzers
  local target
  for target in build-fuzz/fuzz/fuzz_*; do
    [ -f "$target" ] && [ -x "$target" ] || continue
    local name work log
    name=$(basename "$target")
    work=build-fuzz/corpus/$name
    log=build-fuzz/$name.log
    mkdir -p "$work"
    echo "== fuzzing $name for ${seconds}s"
    if ! "$target" -max_total_time="$seconds" -rss_limit_mb=1024 -max_len=4096 \
        -print_final_stats=1 -artifact_prefix=build-fuzz/ "$work" "fuzz/seeds/${name#fuzz_}" \
        >"$log" 2>&1; then
      tail -n 60 "$log"
      echo "fuzzing $name found a problem (see $log)" >&2
      return 1
    fi
    grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$log" || true
  done
}

start_xvfb
step_plain
step_asan
step_tsan
step_release
step_package
step_fuzz

# One closing line over every ctest run above.
awk '/tests passed, [0-9]+ tests failed out of/ {
       total += $NF; failed += $4 }
     END { printf "all test runs: %d passed, %d failed\n", total - failed, failed }' "$summary_log"

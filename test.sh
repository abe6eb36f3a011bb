#!/usr/bin/env bash
# Builds and runs every test: the plain tree, the address/undefined sanitizer
# tree, the thread sanitizer tree (timer tests), the X11 integration tests under
# Xvfb and a bounded fuzz run. Exits non-zero on the first failure.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/packages.sh
ensure_packages "${LETTRANCE_PACKAGES[@]}"

jobs=$(nproc)
summary_log=$(mktemp)
trap 'rm -f "$summary_log"' EXIT
export QT_QPA_PLATFORM=offscreen

configure_and_build() { # dir [cmake args...]
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}

run_ctest() { # dir [ctest args...]
  local dir=$1; shift
  echo "== ctest in $dir $*"
  (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 300 "$@") | tee -a "$summary_log"
}

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
  configure_and_build build-tsan -DCMAKE_BUILD_TYPE=Debug -DLETTRANCE_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread"
  TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 run_ctest build-tsan -L tsan
}

step_fuzz() {
  local seconds=${LETTRANCE_FUZZ_SECONDS:-30}
  CXX=clang++ configure_and_build build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DLETTRANCE_TESTS=OFF -DLETTRANCE_BENCH=OFF -DLETTRANCE_FUZZ=ON
  local target
  for target in build-fuzz/fuzz/fuzz_*; do
    [ -x "$target" ] || continue
    local name work
    name=$(basename "$target")
    work=build-fuzz/corpus/$name
    mkdir -p "$work"
    echo "== fuzzing $name for ${seconds}s"
    "$target" -max_total_time="$seconds" -rss_limit_mb=1024 -max_len=4096 \
      -print_final_stats=1 "$work" "fuzz/seeds/${name#fuzz_}" 2>&1 | tail -n 12
  done
}

step_plain
step_asan
step_tsan
step_fuzz

# One closing line over every ctest run above.
awk '/tests passed, [0-9]+ tests failed out of/ {
       total += $NF; failed += $4 }
     END { printf "all test runs: %d passed, %d failed\n", total - failed, failed }' "$summary_log"

#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, build-fuzz) and fuzzes each of them.
#   scripts/fuzz.sh [SECONDS]          each target SECONDS (default 60) of new inputs
#   scripts/fuzz.sh --regression [S]   each target over its checked-in corpus, then S seconds (default 5)
# New corpus entries collect in build-fuzz/corpus/<target>; a crash leaves its input in
# build-fuzz/crashes/<target>/ and makes the script fail. Check a crash in as
# fuzz/corpus/<target>/crash-<what> once it is fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
regression=0
if [ "${1:-}" = --regression ]; then regression=1; shift; fi
seconds=${1:-$([ $regression = 1 ] && echo 5 || echo 60)}
dir=${VELORA_FUZZ_BUILD:-build-fuzz}

if [ ! -f "$dir/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DVELORA_FUZZ=ON -DVELORA_BUILD_GUI=OFF \
    -DVELORA_BUILD_TESTS=OFF -DVELORA_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    $(command -v ccache >/dev/null && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache) >/dev/null
fi
targets=()
for src in fuzz/*_fuzz.cpp; do targets+=("$(basename "$src" .cpp)"); done
cmake --build "$dir" --target "${targets[@]}" -j "$(nproc)"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
status=0
for t in "${targets[@]}"; do
  name=${t%_fuzz}
  seeds=fuzz/corpus/$name
  work=$dir/corpus/$name crashes=$dir/crashes/$name
  mkdir -p "$work" "$crashes" "$seeds"
  log=$dir/fuzz-$name.log
  if [ $regression = 1 ] && [ -n "$(ls -A "$seeds")" ]; then
    # Every checked-in input once, crashes found earlier included.
    if ! "$dir/fuzz/$t" "$seeds"/* >"$log" 2>&1; then
      echo "FAIL $name: a checked-in input fails (see $log)"; tail -30 "$log"; status=1; continue
    fi
  fi
  if ! "$dir/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=32768 \
       -artifact_prefix="$crashes/" -print_final_stats=1 "$work" "$seeds" >"$log" 2>&1; then
    echo "FAIL $name: a new input fails (see $log, inputs in $crashes)"; tail -30 "$log"; status=1; continue
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1)
  printf 'ok   %-15s %9s runs in %ss, %6s exec/s, %s\n' "$name" "$runs" "$seconds" "$rate" "$cov"
done
exit $status

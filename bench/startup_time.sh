#!/usr/bin/env bash
# Time from process start to the main window shown, the first editor open and the event loop run.
#
# Each run starts velora with the splash suppressed, the offscreen platform and a fresh settings
# folder (so a remembered placement or model cannot change the work), and with --startup-probe, which
# prints the wall clock once the window is up and ends the program without the exit question. The
# script takes the wall clock just before it starts the process; the difference is the start-up
# time. The program's own figure (from the start time the kernel recorded, one clock tick
# resolution) is shown beside it as a cross-check.
#
# Usage: bench/startup_time.sh BIN_DIR [RUNS]
# Prints every run and the median; exits non-zero when the median exceeds 300 ms.
set -euo pipefail

BIN=$(cd "${1:?usage: bench/startup_time.sh BIN_DIR [RUNS]}" && pwd)
RUNS=${2:-10}
VELORA="$BIN/velora"
LIMIT_MS=300

[ -x "$VELORA" ] || { echo "no program at $VELORA" >&2; exit 2; }
# EPOCHREALTIME (bash 5) reads the clock without starting a process of its own.
[ -n "${EPOCHREALTIME:-}" ] || { echo "bash 5 or later is needed" >&2; exit 2; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

to_us() { local t=${1/[.,]/}; echo $((10#$t)); } # "seconds.micros" -> microseconds

times=()
for ((i = 1; i <= RUNS; i++)); do
    config="$WORK/config$i"
    mkdir -p "$config"
    start=$EPOCHREALTIME
    XDG_CONFIG_HOME="$config" XDG_RUNTIME_DIR="$WORK" QT_QPA_PLATFORM=offscreen \
        "$VELORA" -nosplash --startup-probe >"$WORK/out" 2>"$WORK/err" ||
        { echo "run $i failed:" >&2; cat "$WORK/err" >&2; exit 1; }
    line=$(grep '^startup-probe ' "$WORK/out") || { echo "run $i printed no probe line" >&2; exit 1; }
    shown_us=$(sed -n 's/.*realtime_us=\([0-9]*\).*/\1/p' <<<"$line")
    own_ms=$(sed -n 's/.*since_start_ms=\(-\{0,1\}[0-9]*\).*/\1/p' <<<"$line")
    ms=$(( (shown_us - $(to_us "$start")) / 1000 ))
    printf 'run %2d: %4d ms  (program: %s ms since its start)\n' "$i" "$ms" "$own_ms"
    times+=("$ms")
done

sorted=($(printf '%s\n' "${times[@]}" | sort -n))
n=${#sorted[@]}
if ((n % 2)); then median=${sorted[n / 2]}; else median=$(( (sorted[n / 2 - 1] + sorted[n / 2]) / 2 )); fi
echo "median of $n runs: $median ms (limit $LIMIT_MS ms)"
((median <= LIMIT_MS))

#!/usr/bin/env bash
# How long a tuning action takes from the call in the adjustment logic to the radio's last
# acknowledgement, against the least the line allows.
#
# The simulated radio paces every byte at its wire time at 9600 baud (11 bits a byte). For each
# action the least time is the wire time of the bytes of its frames (sent and answered) plus the
# protocol's own waits (110 ms before the test channel number). velora-cli testmode --timing reports
# the time of each action from the call to the return with the radio's answer in hand.
#
# Usage: bench/tuning_ratio.sh BIN_DIR [RUNS]
# Exits non-zero when the median ratio of an action reaches 1.1. The worst run is shown beside it; on
# a busy machine it carries the scheduler's delays more than the program's.
set -euo pipefail

BIN=$(cd "${1:?usage: bench/tuning_ratio.sh BIN_DIR [RUNS]}" && pwd)
RUNS=${2:-3}
CLI="$BIN/velora-cli"
SIM="$BIN/velora-radio-sim"
RATIO_MAX=1.1
BYTE_MS=$(awk 'BEGIN { printf "%.6f", 11 * 1000 / 9600 }')

WORK=$(mktemp -d)
SIM_PID=""
cleanup() {
    if [ -n "$SIM_PID" ]; then kill "$SIM_PID" 2>/dev/null || true; wait "$SIM_PID" 2>/dev/null || true; fi
    rm -rf "$WORK"
}
trap cleanup EXIT
"$CLI" new -o "$WORK/radio.dat" >/dev/null

# action, bytes on the line (frame and answer), fixed waits in ms
ACTIONS=(
    "channel=2 12 110" # the command byte travels during the 110 ms wait
    "item=0 4 0"
    "step=+1 4 0"
    "step=-1 4 0"
    "step=+10 40 0"
    # item 0 stands at 112 + 1 - 1 + 10 = 122 now: 22 steps down to 100
    "value=100 88 0"
    "volume=30 5 0"
    "tx=on 4 0"
    "tx=off 4 0"
)
ARGS=()
for a in "${ACTIONS[@]}"; do ARGS+=("${a%% *}"); done

: >"$WORK/times"
for run in $(seq 1 "$RUNS"); do
    "$SIM" --deck1 "$WORK/radio.dat" --pace >"$WORK/sim.out" 2>"$WORK/sim.err" &
    SIM_PID=$!
    DEVICE=""
    for _ in $(seq 1 100); do
        DEVICE=$(sed -n 's/^DEVICE //p' "$WORK/sim.out" 2>/dev/null | head -1)
        [ -n "$DEVICE" ] && break
        sleep 0.05
    done
    [ -n "$DEVICE" ] || { echo "simulator did not start" >&2; exit 1; }
    "$CLI" testmode --device "$DEVICE" "$WORK/radio.dat" "${ARGS[@]}" --timing >/dev/null 2>"$WORK/cli.err" ||
        { cat "$WORK/cli.err" >&2; exit 1; }
    grep '^time ' "$WORK/cli.err" >>"$WORK/times"
    kill "$SIM_PID"; wait "$SIM_PID" 2>/dev/null || true; SIM_PID=""
done

printf '%-12s %6s %10s %10s %10s %7s %7s\n' action bytes "least ms" "median ms" "worst ms" ratio worst
worst_ratio=0
for a in "${ACTIONS[@]}"; do
    read -r name bytes waits <<<"$a"
    stats=$(awk -v n="$name" '$2 == n { print $3 }' "$WORK/times" | sort -g |
        awk '{ v[NR] = $1 } END { printf "%.3f %.3f", (v[int((NR + 1) / 2)] + v[int(NR / 2) + 1]) / 2, v[NR] }')
    read -r median worst <<<"$stats"
    least=$(awk -v b="$bytes" -v w="$waits" -v t="$BYTE_MS" 'BEGIN { printf "%.3f", b * t + w }')
    ratio=$(awk -v m="$median" -v l="$least" 'BEGIN { printf "%.3f", m / l }')
    wratio=$(awk -v m="$worst" -v l="$least" 'BEGIN { printf "%.3f", m / l }')
    printf '%-12s %6d %10s %10s %10s %7s %7s\n' "$name" "$bytes" "$least" "$median" "$worst" "$ratio" "$wratio"
    worst_ratio=$(awk -v a="$worst_ratio" -v b="$ratio" 'BEGIN { print (b > a ? b : a) }')
done
echo "highest median ratio $worst_ratio (limit $RATIO_MAX)"
awk -v r="$worst_ratio" -v m="$RATIO_MAX" 'BEGIN { exit !(r < m) }'

#!/usr/bin/env bash
# How close velora-cli read and write come to the speed of the line, and what CPU they use.
#
# The simulated radio paces every byte at its wire time at 9600 baud (11 bits a byte: start bit,
# 8 data bits, 2 stop bits) and counts the bytes that crossed the line. The wire time of those bytes
# is the least a transfer can take; the ratio is the CLI's wall time over it. The protocol's own
# waits (50 ms before the identification request) and the program's start-up count as overhead.
#
# Usage: bench/transfer_ratio.sh BIN_DIR [RUNS]
# Exits non-zero when a ratio exceeds 1.03 or the CPU share reaches 5 %.
set -euo pipefail

BIN=$(cd "${1:?usage: bench/transfer_ratio.sh BIN_DIR [RUNS]}" && pwd)
RUNS=${2:-1}
CLI="$BIN/velora-cli"
SIM="$BIN/velora-radio-sim"
RATIO_MAX=1.03
CPU_MAX=5
BAUD=9600
BITS_PER_BYTE=11

WORK=$(mktemp -d)
SIM_PID=""
cleanup() {
    if [ -n "$SIM_PID" ]; then kill "$SIM_PID" 2>/dev/null || true; wait "$SIM_PID" 2>/dev/null || true; fi
    rm -rf "$WORK"
}
trap cleanup EXIT

# A single-band, single-head data set with 160 varied channels, so a good share of the main-area
# blocks and extension chunks travel whole rather than as one fill byte.
make_data() {
    "$CLI" new -o "$WORK/blank.dat" >/dev/null 2>&1
    awk 'BEGIN {
        srand(7)
        split("Off 67.0 88.5 100.0 123.0 151.4 D023N D754I D411N", tone, " ")
        print "group,channel,rx,tx,decode,encode,name,scan_add,signalling"
        for (g = 1; g <= 10; g++)
            for (c = 1; c <= 16; c++) {
                rx = 148 + int(rand() * 2000) * 0.0125
                tx = rx + (rand() < 0.5 ? 0 : 0.6)
                name = ""
                for (i = 0; i < 3 + int(rand() * 5); i++) name = name substr("ABCDEFGHJKLMNPRSTUVWXYZ0123456789", 1 + int(rand() * 33), 1)
                printf "%d,%d,%.4f,%.4f,%s,%s,%s,%d,%d\n", g, c, rx, tx, tone[1 + int(rand() * 9)], tone[1 + int(rand() * 9)], name, int(rand() * 2), int(rand() * 3)
            }
    }' >"$WORK/channels.csv"
    "$CLI" channels import "$WORK/blank.dat" "$WORK/channels.csv" -o "$WORK/radio.dat" >/dev/null 2>&1
}

# Starts the simulator for one session; sets DEVICE.
start_sim() {
    local deck=$1 stats=$2
    "$SIM" --deck1 "$deck" --pace --once --stats "$stats" >"$WORK/sim.out" 2>"$WORK/sim.err" &
    SIM_PID=$!
    DEVICE=""
    for _ in $(seq 1 100); do
        DEVICE=$(sed -n 's/^DEVICE //p' "$WORK/sim.out" 2>/dev/null | head -1)
        [ -n "$DEVICE" ] && return 0
        sleep 0.05
    done
    echo "velora-radio-sim did not start: $(cat "$WORK/sim.err")" >&2
    exit 2
}

# Runs one transfer and prints its figures; returns 1 when it misses a limit.
measure() {
    local name=$1 deck=$2; shift 2
    local stats="$WORK/$name.stats" times="$WORK/$name.times"
    rm -f "$stats"
    start_sim "$deck" "$stats"
    local TIMEFORMAT='%3R %3U %3S'
    if ! { time "$CLI" "$@" --device "$DEVICE" 2>"$WORK/$name.err"; } 2>"$times"; then
        echo "$name failed: $(cat "$WORK/$name.err")" >&2
        exit 2
    fi
    wait "$SIM_PID" 2>/dev/null || true # --once: it ends when the client has closed the line
    SIM_PID=""
    local rx tx real user sys
    read -r _ _ rx _ tx <"$stats"
    read -r real user sys <"$times"
    awk -v name="$name" -v rx="$rx" -v tx="$tx" -v real="$real" -v user="$user" -v sys="$sys" \
        -v baud="$BAUD" -v bits="$BITS_PER_BYTE" -v rmax="$RATIO_MAX" -v cmax="$CPU_MAX" 'BEGIN {
        bytes = rx + tx
        wire = bytes * bits / baud
        ratio = real / wire
        cpu = 100 * (user + sys) / real
        printf "%-5s bytes %6d (to radio %5d, from radio %5d)  wire %7.3f s  actual %7.3f s  ratio %.4f  CPU %.2f %% (user %.3f s, sys %.3f s)\n",
            name, bytes, rx, tx, wire, real, ratio, cpu, user, sys
        exit (ratio <= rmax && cpu < cmax) ? 0 : 1
    }'
}

make_data
status=0
for run in $(seq 1 "$RUNS"); do
    [ "$RUNS" -gt 1 ] && echo "run $run"
    measure read "$WORK/radio.dat" read -o "$WORK/got.dat" || status=1
    measure write "$WORK/blank.dat" write "$WORK/radio.dat" || status=1
done
[ "$status" -eq 0 ] && echo "within limits: ratio <= $RATIO_MAX, CPU < $CPU_MAX %" ||
    echo "OUT OF LIMITS: ratio <= $RATIO_MAX and CPU < $CPU_MAX % wanted" >&2
exit "$status"

#!/usr/bin/env bash
# A fleet write of N radios on one line, the bench unplugging each written radio and plugging the next
# at once, against N single writes; and the time from a radio's first answer to its first written
# block. Every radio runs at 9600 baud with wire-time pacing.
# Usage: bench/fleet_bench_ratio.sh BIN_DIR [N]. Prints the times, the ratio and the answer delays.
set -u
BIN=$(cd "${1:?usage: fleet_bench_ratio.sh BIN_DIR [N]}" && pwd)
N=${2:-3}
CLI="$BIN/velora-cli"
SIM="$BIN/velora-radio-sim"
WORK=$(mktemp -d)
PIDS=()
trap 'for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done; rm -rf "$WORK"' EXIT
cd "$WORK"
"$CLI" new -o base.dat >/dev/null
{ echo "radio,dravix.id"; for i in $(seq 1 "$N"); do echo "r$i,$((1000 + i))"; done; } > fleet.csv

start_sim() { # starts the simulator with the given options; sets DEVICE and LOG
  LOG="$WORK/sim.$RANDOM.out"
  "$SIM" --pace "$@" >"$LOG" 2>/dev/null &
  PIDS+=($!)
  for _ in $(seq 1 100); do
    DEVICE=$(sed -n 's/^DEVICE //p' "$LOG" | head -1)
    [ -n "$DEVICE" ] && return 0
    sleep 0.05
  done
  echo "simulator did not start" >&2
  exit 1
}

seconds() { # runs the command, prints its wall time in seconds
  local t0 t1
  t0=$(date +%s.%N)
  "$@" >/dev/null 2>&1 </dev/null || { echo "failed: $*" >&2; exit 1; }
  t1=$(date +%s.%N)
  echo "$t1 - $t0" | bc -l
}

start_sim
single=0
for i in $(seq 1 "$N"); do single=$(echo "$single + $(seconds "$CLI" write base.dat --device "$DEVICE")" | bc -l); done
start_sim --fleet "$N" --linger 0 --gap 0
fleet=$(seconds "$CLI" fleet write base.dat fleet.csv --device "$DEVICE" --log log.csv --out out)
printf '%d single writes: %.2f s\nfleet write:      %.2f s\nratio:            %.3f\n' \
  "$N" "$single" "$fleet" "$(echo "$fleet / $single" | bc -l)"
# Per radio: plugged -> first answer -> first write frame, from the bench's own report.
awk '$1 == "RADIO" { t[$2, $3] = $4 }
     END { for (i = 1; t[i, "plugged"] != ""; i++)
             printf "radio %d: plugged to answer %.3f s, answer to first block %.3f s\n", i,
                    t[i, "answered"] - t[i, "plugged"], t[i, "writing"] - t[i, "answered"] }' "$LOG"

#!/usr/bin/env bash
# The time of a fleet write to four radios over the time of a write to one, every radio at 9600 baud
# with wire-time pacing. Usage: bench/fleet_ratio.sh BIN_DIR. Prints both times and the ratio.
set -u
BIN=$(cd "${1:?usage: fleet_ratio.sh BIN_DIR}" && pwd)
CLI="$BIN/velora-cli"
SIM="$BIN/velora-radio-sim"
WORK=$(mktemp -d)
PIDS=()
trap 'for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done; rm -rf "$WORK"' EXIT
cd "$WORK"
"$CLI" new -o data.dat >/dev/null

start_sim() {
  local log="$WORK/sim.$1.out"
  "$SIM" --deck1 data.dat --pace >"$log" 2>/dev/null &
  PIDS+=($!)
  for _ in $(seq 1 100); do
    DEVICE=$(sed -n 's/^DEVICE //p' "$log" | head -1)
    [ -n "$DEVICE" ] && return 0
    sleep 0.05
  done
  echo "simulator did not start" >&2
  exit 1
}

seconds() { # runs the command, prints its wall time in seconds
  local t0 t1
  t0=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
  t1=$(date +%s.%N)
  echo "$t1 - $t0" | bc -l
}

start_sim one
one=$(seconds "$CLI" write data.dat --device "$DEVICE")
args=()
for i in 1 2 3 4; do start_sim "f$i"; args+=(--device "$DEVICE"); done
four=$(seconds "$CLI" write data.dat "${args[@]}")
printf 'one radio:   %.2f s\nfour radios: %.2f s\nratio:       %.3f\n' "$one" "$four" "$(echo "$four / $one" | bc -l)"

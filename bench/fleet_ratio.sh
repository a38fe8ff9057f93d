#!/usr/bin/env bash
# The time of a fleet write to four radios over the time of a write to one, every radio at 9600 baud
# with wire-time pacing. Usage: bench/fleet_ratio.sh BIN_DIR. Prints both times and the ratio.
source "$(dirname "$0")/lib_sim.sh" "${1-}" "fleet_ratio.sh BIN_DIR"
"$CLI" new -o data.dat >/dev/null

start_sim --deck1 data.dat --pace
one=$(seconds "$CLI" write data.dat --device "$DEVICE")
args=()
for i in 1 2 3 4; do start_sim --deck1 data.dat --pace; args+=(--device "$DEVICE"); done
four=$(seconds "$CLI" write data.dat "${args[@]}")
printf 'one radio:   %.2f s\nfour radios: %.2f s\nratio:       %.3f\n' "$one" "$four" "$(echo "$four / $one" | bc -l)"

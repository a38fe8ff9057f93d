#!/usr/bin/env bash
# A fleet write of N radios on one line, the bench unplugging each written radio and plugging the next
# at once, against N single writes; and the time from a radio's first answer to its first written
# block. Every radio runs at 9600 baud with wire-time pacing.
# Usage: bench/fleet_bench_ratio.sh BIN_DIR [N]. Prints the times, the ratio and the answer delays.
N=${2:-3}
source "$(dirname "$0")/lib_sim.sh" "${1-}" "fleet_bench_ratio.sh BIN_DIR [N]"
"$CLI" new -o base.dat >/dev/null
{ echo "radio,dravix.id"; for i in $(seq 1 "$N"); do echo "r$i,$((1000 + i))"; done; } > fleet.csv

start_sim --pace
single=0
for i in $(seq 1 "$N"); do single=$(echo "$single + $(seconds "$CLI" write base.dat --device "$DEVICE")" | bc -l); done
start_sim --pace --fleet "$N" --linger 0 --gap 0
fleet=$(seconds "$CLI" fleet write base.dat fleet.csv --device "$DEVICE" --log log.csv --out out)
printf '%d single writes: %.2f s\nfleet write:      %.2f s\nratio:            %.3f\n' \
  "$N" "$single" "$fleet" "$(echo "$fleet / $single" | bc -l)"
# Per radio: plugged -> first answer -> first write frame, from the bench's own report.
awk '$1 == "RADIO" { t[$2, $3] = $4 }
     END { for (i = 1; t[i, "plugged"] != ""; i++)
             printf "radio %d: plugged to answer %.3f s, answer to first block %.3f s\n", i,
                    t[i, "answered"] - t[i, "plugged"], t[i, "writing"] - t[i, "answered"] }' "$LOG"

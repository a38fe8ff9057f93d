#!/usr/bin/env bash
# Wall time of `velora --export-pdf` for a full extended-mode data set (255 channels) with every
# section, process start included, and of `velora-cli report` for the same file.
#
# Usage: bench/report_time.sh BIN_DIR [RUNS]
# Prints every run (wall/CPU ms) and the medians; exits non-zero when the PDF's median CPU time
# exceeds 300 ms.
set -euo pipefail
BIN=$(cd "${1:?usage: bench/report_time.sh BIN_DIR [RUNS]}" && pwd)
RUNS=${2:-5}
LIMIT_MS=300
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"

"$BIN/velora-cli" --extended new -o new.dat >/dev/null
{
  echo "group,channel,rx,tx,decode,encode,name,scan_add,signalling"
  for c in $(seq 1 254); do echo "1,$c,$((150 + c / 20)).$((10000 + 625 * (c % 16))),151,D023N,,CH $c,1,0"; done
  echo "2,1,152,152,,,LAST,1,0"
} >ch.csv
"$BIN/velora-cli" --extended channels import new.dat ch.csv -o full.dat >/dev/null 2>&1

# Wall and CPU (user + system) milliseconds of one run: "wall/cpu".
ms() {
  local t0 t1 cpu
  t0=$(date +%s%N)
  /usr/bin/time -o cpu.txt -f '%U %S' "$@" >/dev/null 2>&1
  cpu=$(tail -1 cpu.txt)
  t1=$(date +%s%N)
  echo "$(((t1 - t0) / 1000000))/$(awk '{printf "%d", ($1 + $2) * 1000}' <<<"$cpu")"
}
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR + 1) / 2)]}'; }
wall() { printf '%s\n' "$@" | cut -d/ -f1 | median; }
cpu() { printf '%s\n' "$@" | cut -d/ -f2 | median; }

pdf=() cli=()
for _ in $(seq 1 "$RUNS"); do
  pdf+=("$(QT_QPA_PLATFORM=offscreen ms "$BIN/velora" wqwq --export-pdf full.dat out.pdf)")
  cli+=("$(ms "$BIN/velora-cli" --extended report full.dat -o out.txt)")
done
pages=$(grep -c $'\f' out.txt || true)
echo "pages: $((pages + 1))"
echo "velora --export-pdf wall/cpu ms: ${pdf[*]}  median wall $(wall "${pdf[@]}") cpu $(cpu "${pdf[@]}")"
echo "velora-cli report wall/cpu ms:   ${cli[*]}  median wall $(wall "${cli[@]}") cpu $(cpu "${cli[@]}")"
# On a shared machine the wall time includes waiting for a core; the CPU time is the work done.
[ "$(cpu "${pdf[@]}")" -le "$LIMIT_MS" ]

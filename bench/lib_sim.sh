# Shared set-up of the benchmarks that drive velora-cli against the simulator:
# `source bench/lib_sim.sh BIN_DIR USAGE`. Sets BIN, CLI, SIM and WORK (a scratch folder, the current
# directory, removed at exit with every simulator started) and defines start_sim and seconds.
set -u
BIN=$(cd "${1:?usage: $2}" && pwd)
CLI="$BIN/velora-cli"
SIM="$BIN/velora-radio-sim"
WORK=$(mktemp -d)
PIDS=()
trap 'for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done; rm -rf "$WORK"' EXIT
cd "$WORK"

start_sim() { # starts the simulator with the given options; sets DEVICE and LOG (its standard output)
  LOG="$WORK/sim.$RANDOM.out"
  "$SIM" "$@" >"$LOG" 2>/dev/null &
  PIDS+=($!)
  for _ in $(seq 1 100); do
    DEVICE=$(sed -n 's/^DEVICE //p' "$LOG" | head -1)
    [ -n "$DEVICE" ] && return 0
    sleep 0.05
  done
  echo "simulator did not start" >&2
  exit 1
}

seconds() { # runs the command with no input, prints its wall time in seconds
  local t0 t1
  t0=$(date +%s.%N)
  "$@" >/dev/null 2>&1 </dev/null || { echo "failed: $*" >&2; exit 1; }
  t1=$(date +%s.%N)
  echo "$t1 - $t0" | bc -l
}

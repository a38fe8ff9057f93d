# Shared helpers for the end-to-end scripts: `source lib.sh BIN_DIR`.
set -u
BIN=$(cd "${1:?usage: script BIN_DIR}" && pwd)
CLI="$BIN/velora-cli"
SIM="$BIN/velora-radio-sim"
WORK=$(mktemp -d)
# Every read keeps a copy in the radio history; the tests keep theirs in the scratch folder.
export XDG_DATA_HOME="$WORK/data-home"
trap 'cleanup' EXIT
SIM_PIDS=()
cleanup() {
  for p in "${SIM_PIDS[@]}"; do kill "$p" 2>/dev/null; wait "$p" 2>/dev/null; done
  rm -rf "$WORK"
}
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
expect_eq() { if [ "$1" == "$2" ]; then pass "$3"; else fail "$3: expected [$2], got [$1]"; fi; }
expect_contains() { if grep -q -- "$2" <<<"$1"; then pass "$3"; else fail "$3: [$2] not in [$1]"; fi; }
finish() { [ "$failures" -eq 0 ] && echo "all passed" || { echo "$failures failure(s)" >&2; exit 1; }; }

# Starts the simulator with the given options; sets DEVICE to the pseudo-terminal it serves and SIM_LOG
# to the file of its standard output.
start_sim() {
  local log="$WORK/sim.$RANDOM.out"
  SIM_LOG=$log
  "$SIM" "$@" >"$log" 2>"$log.err" &
  SIM_PIDS+=($!)
  SIM_PID=$!
  DEVICE=""
  for _ in $(seq 1 100); do
    DEVICE=$(sed -n 's/^DEVICE //p' "$log" 2>/dev/null | head -1)
    [ -n "$DEVICE" ] && return 0
    sleep 0.05
  done
  fail "simulator did not start: $(cat "$log.err")"
  return 1
}

# Waits for the simulator to end by itself (after --once), at most 20 s.
wait_sim() {
  for _ in $(seq 1 200); do
    kill -0 "$SIM_PID" 2>/dev/null || { wait "$SIM_PID" 2>/dev/null; return 0; }
    sleep 0.1
  done
  kill "$SIM_PID" 2>/dev/null; wait "$SIM_PID" 2>/dev/null
}

# Writes bytes given as hex pairs at an offset of a file: patch FILE OFFSET "50 12".
patch() {
  local file=$1 off=$2; shift 2
  for b in $*; do printf "\\x$b" | dd of="$file" bs=1 seek="$off" conv=notrunc status=none; off=$((off + 1)); done
}
# Main-area offset inside a current data file.
MAIN=64

# True when two data files hold the same areas byte for byte, but for the version marks of the model
# identification (bytes 6 and 9), which a write takes from the radio.
same_areas() {
  [ "$(cmp -l "$1" "$2" | awk '$1 > 64 && $1 != 16167 && $1 != 16170' | head -1)" = "" ]
}
# True when the radio dumped at PREFIX (deck 1's main and code areas, head 1's extension area) holds
# data file FILE: radio_holds FILE PREFIX.
radio_holds() {
  { head -c 16608 "$2.deck1.dat"; tail -c 8192 "$2.head1.dat"; } > "$2.all.dat"
  same_areas "$1" "$2.all.dat"
}

# Shared helpers for the end-to-end scripts: `source lib.sh BIN_DIR`.
set -u
BIN=$(cd "${1:?usage: script BIN_DIR}" && pwd)
CLI="$BIN/velora-cli"
SIM="$BIN/velora-radio-sim"
WORK=$(mktemp -d)
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

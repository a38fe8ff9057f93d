#!/usr/bin/env bash
# velora-cli diff, write --verify against a radio that keeps a block damaged, and the radio history.
source "$(dirname "$0")/lib.sh" "$1"
cd "$WORK"

"$CLI" new -o blank.dat >/dev/null
printf 'group,channel,rx,tx,decode,encode,name,scan_add,signalling\n1,1,151.8125,151.8125,Off,Off,Base,1,0\n1,2,160.5,160.5,Off,Off,Yard,0,0\n' > a.csv
"$CLI" channels import blank.dat a.csv -o a.dat 2>/dev/null || fail "preparing a.dat"

# --- diff: exit status and the lines by meaning, as a table of cases -----------------------------
sed 's/Yard/Depot/' a.csv > changed.csv
"$CLI" channels import blank.dat changed.csv -o changed.dat 2>/dev/null
printf '5,1,150.0,150.0,Off,Off,New,0,0\n' | cat a.csv - > added.csv
"$CLI" channels import blank.dat added.csv -o added.dat 2>/dev/null
# The same channels imported in the other order sit in other records of the pool.
{ head -1 a.csv; tail -n +2 a.csv | tac; } > reordered.csv
"$CLI" channels import blank.dat reordered.csv -o reordered.dat 2>/dev/null
cmp -s a.dat reordered.dat && fail "reordered.dat should hold its records in other slots"
KEY=options.panel_test
"$CLI" set a.dat "$KEY=1" -o field.dat >/dev/null 2>&1 || fail "preparing field.dat ($KEY)"

while IFS='|' read -r name other status line; do
  out=$("$CLI" diff a.dat "$other" 2>&1); rc=$?
  expect_eq "$rc" "$status" "diff $name: exit status"
  [ -n "$line" ] && expect_contains "$out" "$line" "diff $name: names the difference"
done <<CASES
equal|a.dat|0|
records in other slots|reordered.dat|0|
sides named|changed.dat|1|From a.dat (before) to changed.dat (after):
changed channel|changed.dat|1|  Channel 2 changed: name "YARD" -> "DEPOT"
added group|added.dat|1|Group 5 added
added channel's values|added.dat|1|  Channel 1 added: rx "150.00000", tx "150.00000", decode "Off", encode "Off", name "NEW"
changed field|field.dat|1|Field $KEY: "0" -> "1"
missing file|nothing.dat|2|
CASES
expect_eq "$("$CLI" diff a.dat a.dat)" "" "equal files print nothing"
expect_eq "$("$CLI" diff a.dat changed.dat | grep -c .)" 3 "one changed channel: the sides, its group and the channel, nothing else"

# --- write --verify -------------------------------------------------------------------------------
# A radio that keeps a block or DTMF record damaged, or whose read-back of a block never checks out:
# the verify names the place, and nothing calls the completely written radio half written.
while IFS='|' read -r fault want; do
  start_sim --deck1 blank.dat $fault
  "$CLI" write --device "$DEVICE" a.dat --verify --retries 0 2>err.txt; rc=$?
  expect_eq "$rc" 1 "$fault: the verify fails"
  expect_contains "$(cat err.txt)" "verify failed.*$want" "$fault: the verify names $want"
  expect_eq "$(grep -c -e 'Data has been written' -e 'stopped' err.txt)" 0 "$fault: neither done nor stopped"
  kill "$SIM_PID"; wait "$SIM_PID" 2>/dev/null
done <<'CASES'
--corrupt-write deck1:5|differs .*main-area block 5
--corrupt-write deck1:c2|differs .*DTMF code record 2
--bad-checksum deck1:9:9|main-area block 9 could not be read back
CASES

start_sim --deck1 blank.dat
"$CLI" write --device "$DEVICE" a.dat --verify 2>err.txt || fail "verified write to a sound radio: $(cat err.txt)"
expect_contains "$(cat err.txt)" "wrote 192 blocks of a.dat to $DEVICE, verified" "a sound radio verifies"
kill "$SIM_PID"; wait "$SIM_PID" 2>/dev/null

# --- radio history --------------------------------------------------------------------------------
HIST="$XDG_DATA_HOME/velora/history"
mkdir -p "$HIST"
for i in $(seq -w 0 99); do cp blank.dat "$HIST/2000-01-01_0000${i}_RM-420.dat"; done
touch "$HIST/notes.txt"
start_sim --deck1 a.dat
"$CLI" read --device "$DEVICE" -o got.dat 2>err.txt || fail "read: $(cat err.txt)"
kill "$SIM_PID"; wait "$SIM_PID" 2>/dev/null
kept=$(ls "$HIST" | grep -v '^2000-' | grep '\.dat$')
expect_eq "$(wc -l <<<"$kept")" 1 "a read is kept in the history"
expect_contains "$kept" '^[0-9]\{4\}-[0-9][0-9]-[0-9][0-9]_[0-9]\{6\}_RM-' "named by date, time and model"
expect_eq "$("$CLI" diff got.dat "$HIST/$kept"; echo $?)" 0 "the history holds what was read"
expect_eq "$(ls "$HIST" | grep -c '\.dat$')" 100 "the history keeps 100 reads"
[ -e "$HIST/2000-01-01_000000_RM-420.dat" ] && fail "the oldest read was not removed" || pass "the oldest read goes"
[ -e "$HIST/notes.txt" ] && pass "other files stay" || fail "a file not from the history was removed"

# A history that cannot be written warns; the read still succeeds.
start_sim --deck1 a.dat
XDG_DATA_HOME="$WORK/blank.dat" "$CLI" read --device "$DEVICE" -o got2.dat 2>err.txt ||
  fail "a read with no history folder fails: $(cat err.txt)"
expect_contains "$(cat err.txt)" "warning: " "the history failure is warned about"
kill "$SIM_PID"; wait "$SIM_PID" 2>/dev/null

finish

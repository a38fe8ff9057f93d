#!/usr/bin/env bash
# velora-cli read and write against the simulated radio over a pseudo-terminal.
source "$(dirname "$0")/lib.sh" "$1"
cd "$WORK"

"$CLI" new -o blank.dat >/dev/null
cat > ch.csv <<'CSV'
group,channel,rx,tx,decode,encode,name,scan_add,signalling
1,1,151.8125,151.8125,67.0,D023N,Base,1,0
1,2,160.5,160.5,Off,Off,Yard,0,2
3,7,148.0,,Off,Off,,1,0
CSV
"$CLI" channels import blank.dat ch.csv -o radio.dat 2>/dev/null || fail "preparing the radio's data"
"$CLI" channels export radio.dat > radio.csv

# Read: single band, single head.
start_sim --deck1 radio.dat
"$CLI" read --device "$DEVICE" -o got.dat 2>err.txt || fail "read: $(cat err.txt)"
"$CLI" channels export got.dat > got.csv 2>/dev/null
cmp -s got.csv radio.csv && pass "read brings the radio's channels" || fail "read channels differ: $(diff got.csv radio.csv)"
expect_contains "$(cat err.txt)" "read 192 blocks" "a read counts 192 blocks"
kill "$SIM_PID"; wait "$SIM_PID" 2>/dev/null

# --port N goes to the device the application's settings map COMn to.
start_sim --deck1 radio.dat
mkdir -p conf/HALCYON
printf '[Backup]\nComPort=7\n\n[Ports]\nCOM7=%s\n' "$DEVICE" > conf/HALCYON/velora.conf
XDG_CONFIG_HOME="$WORK/conf" "$CLI" read --port 7 -o mapped.dat 2>err.txt || fail "read on a mapped port: $(cat err.txt)"
expect_contains "$(cat err.txt)" "from COM7 ($DEVICE)" "--port 7 uses the mapped device"
kill "$SIM_PID"; wait "$SIM_PID" 2>/dev/null

# The port fails to close after a complete read: the data set is still saved, the user warned once
# after the completion message, and the command succeeds. Likewise after a complete write.
SHIM="$BIN/velora_close_fail_shim.so"
CLOSE_WARNING="The transfer is complete, but the communication port could not be closed. Check the port before the next transfer."
if [ -f "$SHIM" ]; then
  close_fails() { LD_PRELOAD="$SHIM" ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0" "$CLI" "$@"; }
  start_sim --deck1 radio.dat
  close_fails read --device "$DEVICE" -o closefail.dat 2>err.txt && pass "read with a failed close succeeds" ||
    fail "read with a failed close: $(cat err.txt)"
  "$CLI" channels export closefail.dat > closefail.csv 2>/dev/null
  cmp -s closefail.csv radio.csv && pass "the read is kept although the port did not close" || fail "no read after a failed close"
  expect_eq "$(grep -cF "warning: $CLOSE_WARNING" err.txt)" 1 "the failed close is warned about once"
  expect_eq "$(grep -c 'cannot be opened' err.txt)" 0 "a port that opened is not reported as unopenable"
  expect_eq "$(grep -n -e 'Data has been read' -e 'warning: The transfer is complete' err.txt | cut -d: -f1 | tr '\n' ' ')" \
    "1 2 " "completion first, then the warning"
  kill "$SIM_PID"; wait "$SIM_PID" 2>/dev/null
  start_sim --deck1 blank.dat
  close_fails write --device "$DEVICE" radio.dat 2>err.txt && pass "write with a failed close succeeds" ||
    fail "write with a failed close: $(cat err.txt)"
  expect_eq "$(grep -e 'Data has been written' -e 'warning: The transfer is complete' err.txt | sed 's/.*: //' | tr '\n' '|')" \
    "Data has been written to the radio.|$CLOSE_WARNING|" \
    "a write's completion is followed by the warning"
  kill "$SIM_PID"; wait "$SIM_PID" 2>/dev/null
else
  fail "no $SHIM; build the target velora_close_fail_shim"
fi

# Write: single band, single head; the simulator dumps what it received.
start_sim --deck1 blank.dat --dump sent --once
"$CLI" write --device "$DEVICE" radio.dat 2>err.txt || fail "write: $(cat err.txt)"
wait_sim
# Decks hold the main area, heads the extension area (the names): put the halves together.
{ head -c 16608 sent.deck1.dat; tail -c 8192 sent.head1.dat; } > sent.dat
"$CLI" channels export sent.dat > sent.csv 2>/dev/null
cmp -s sent.csv radio.csv && pass "write delivers the channels" || fail "written channels differ: $(diff sent.csv radio.csv)"
expect_contains "$(cat err.txt)" "wrote 192 blocks" "single/single write counts 192"

# DTMF code records travel with their 0x00 bytes turned into 0xFF.
cp radio.dat dtmf.dat
patch dtmf.dat $((MAIN + 16384 + 16)) 01 02 00 03 00
start_sim --deck1 blank.dat --dump dtmfsent --once
"$CLI" write --device "$DEVICE" dtmf.dat 2>err.txt || fail "dtmf write: $(cat err.txt)"
wait_sim
expect_eq "$(od -An -tx1 -j $((MAIN + 16384 + 16)) -N5 dtmfsent.deck1.dat | tr -d ' ')" "0102ff03ff" "DTMF records normalised"

# Dual band (VHF + UHF), dual head: configuration word bits 12 and 14, model 2 band code 6.
cp radio.dat dual.dat
patch dual.dat $((MAIN + 0x3EE6)) 00 50 06 F0
start_sim --deck1 dual.dat --dump dualsent --once
"$CLI" write --device "$DEVICE" dual.dat 2>err.txt || fail "dual write: $(cat err.txt)"
wait_sim
expect_contains "$(cat err.txt)" "wrote 384 blocks" "dual/dual write counts 384"
for u in deck1 deck2 head1 head2; do [ -f "dualsent.$u.dat" ] || fail "no $u dump"; done
cmp -s <(tail -c 8192 dualsent.head2.dat) <(tail -c 8192 dual.dat) && pass "head 2 got the extension area" || fail "head 2 extension area differs"
start_sim --deck1 dual.dat
"$CLI" read --device "$DEVICE" -o dualgot.dat 2>err.txt || fail "dual read: $(cat err.txt)"
expect_contains "$("$CLI" info dualgot.dat)" "dual band" "a dual-band radio reads as dual band"
kill "$SIM_PID"; wait "$SIM_PID" 2>/dev/null

# Baud search: a radio at 4800 is found.
start_sim --deck1 radio.dat --baud 4800
"$CLI" read --device "$DEVICE" -o slow.dat 2>err.txt && pass "radio found at 4800 baud" || fail "4800: $(cat err.txt)"
kill "$SIM_PID"; wait "$SIM_PID" 2>/dev/null

# A bad checksum is retried by the protocol and the read still succeeds.
start_sim --deck1 radio.dat --bad-checksum deck1:5
"$CLI" read --device "$DEVICE" -o retried.dat 2>err.txt && pass "bad checksum retried" || fail "bad checksum: $(cat err.txt)"
kill "$SIM_PID"; wait "$SIM_PID" 2>/dev/null

# A silent radio: failure, a message naming what failed, no file.
start_sim --deck1 radio.dat --silent
if "$CLI" read --device "$DEVICE" -o silent.dat --retries 0 2>err.txt; then fail "silent radio read succeeded"; fi
[ -e silent.dat ] && fail "a failed read left a file" || pass "no file after a failed read"
expect_contains "$(cat err.txt)" "failed" "silent radio reported"
kill "$SIM_PID"; wait "$SIM_PID" 2>/dev/null

# The line cut in the middle of a read.
start_sim --deck1 radio.dat --cut-after 300
if "$CLI" read --device "$DEVICE" -o cut.dat --retries 0 2>err.txt; then fail "cut line read succeeded"; fi
[ -e cut.dat ] && fail "a cut read left a file" || pass "no file after a cut line"
expect_contains "$(cat err.txt)" "block" "the cut names the block it stopped at"
wait_sim

# Uniform blocks travel as 'Z', uniform extension chunks as '['.
start_sim --deck1 blank.dat -v --once
"$CLI" write --device "$DEVICE" radio.dat 2>/dev/null || fail "write for the frame log"
wait_sim
log=$(cat "$WORK"/sim.*.out.err)
expect_contains "$log" "rx 5A 0F" "uniform main-area blocks sent as Z"
expect_contains "$log" "rx 5B 8F" "uniform extension chunks sent as ["

# A model mismatch refuses unless --force.
start_sim --deck1 blank.dat --ident 513031333006F0000FF0
if "$CLI" write --device "$DEVICE" radio.dat 2>err.txt; then fail "write to another model accepted"; else pass "model mismatch refused"; fi
expect_contains "$(cat err.txt)" "force" "the refusal mentions --force"
kill "$SIM_PID"; wait "$SIM_PID" 2>/dev/null

# Each question that guards a write has its own flag; --force answers both.
# simulator options | write flags | exit status | what a refusal names
while IFS='|' read -r simopts flags rc hint; do
  start_sim --deck1 blank.dat $simopts
  "$CLI" write --device "$DEVICE" radio.dat $flags 2>err.txt
  expect_eq "$?" "$rc" "write to a radio with [$simopts] and [$flags]"
  [ -z "$hint" ] || expect_contains "$(cat err.txt)" "use $hint" "the refusal names $hint"
  kill "$SIM_PID"; wait "$SIM_PID" 2>/dev/null
done <<'CASES'
--version 3|--force-model|1|--force-version
--version 3|--force-version|0|
--ident 513031333006F0000FF0 --version 5|--force-version|1|--force-model
--ident 513031333006F0000FF0 --version 5|--force-model|0|
--ident 513031333006F0000FF0 --version 3|--force|0|
CASES

# The pre-write check refuses an incomplete data set before anything is sent: a priority
# channel that applies but names no channel.
cp radio.dat prio.dat
patch prio.dat $((MAIN + 0x00)) 01
start_sim --deck1 blank.dat -v
if "$CLI" write --device "$DEVICE" prio.dat 2>err.txt; then fail "incomplete data set written"; else pass "pre-write check refuses"; fi
expect_contains "$(cat err.txt)" "nothing was sent" "nothing sent after the pre-write check"
kill "$SIM_PID"; wait "$SIM_PID" 2>/dev/null
finish

#!/usr/bin/env bash
# velora-cli testmode against the simulated radio: entering and leaving test mode, the test channel,
# signalling and option frames, tuning an adjustment item, and retry after a lost tuning frame.
source "$(dirname "$0")/lib.sh" "$1"
cd "$WORK"
"$CLI" new -o radio.dat >/dev/null

# Runs testmode against a fresh simulator (extra simulator options in SIM_OPTS); the radio's log of
# test frames ends up in sim.log.
run() {
  start_sim --deck1 radio.dat -v ${SIM_OPTS:-} || return 1
  "$CLI" testmode --device "$DEVICE" radio.dat "$@" >out.txt 2>err.txt
  status=$?
  kill "$SIM_PID"; wait "$SIM_PID" 2>/dev/null
  grep '^sim: ' "$(ls -t "$WORK"/sim.*.out.err | head -1)" | sed 's/^sim: //' | grep -v '^[rt]x ' >sim.log
  return $status
}
has() { grep -qxF -- "$1" sim.log && pass "$2" || fail "$2: no [$1] in $(tr '\n' '|' <sim.log)"; }

# Channel, signalling and every option frame; the transmitter is still on when test mode ends.
run channel=2 signalling=3 spacing=narrow compander=1 beat-shift=1 msk=1 noise-blanker=0 tx=on ||
  fail "testmode: $(cat err.txt)"
has "test channel 2" "channel 2 selected"
has "test signalling 3" "signalling 3 selected"
has "option G (narrow)" "narrow spacing sends G"
has "compander on" "compander frame"
has "beat shift on" "beat shift frame"
has "MSK rate high" "MSK rate frame"
has "option F (wide)" "noise blanker entry 0 sends F"
expect_eq "$(grep -e '^transmitter' -e '^normal operation' sim.log | tr '\n' '|')" \
  "transmitter on|transmitter off|normal operation|" "the transmitter goes off before test mode ends"
expect_eq "$(head -1 out.txt)" "test channel 1" "test mode starts on the first matching channel"

# Typing a value, then stepping, then storing with OK; the volume.
run item=0 value=110 step=-3 volume=30 ok || fail "tuning: $(cat err.txt)"
expect_eq "$(grep '^item 20 ' sim.log | tail -2 | tr '\n' '|')" "item 20 down to 107|item 20 stopped|" \
  "the radio holds the typed and stepped value, then the item is stopped"
expect_eq "$(grep -c '^item 20 down' sim.log)" 5 "112 to 110 to 107 takes five steps"
has "volume of deck1 30" "volume sent"
expect_contains "$(cat out.txt)" "item 0 tab 0 value 107 volume 30" "the value shown is the radio's"

# The third step goes unanswered once: Retry sends only the three steps left.
SIM_OPTS="--drop-frame 0x20:3" run item=0 value=117 ok --retries 1 || fail "retry: $(cat err.txt)"
expect_eq "$(grep -c '^item 20 up' sim.log)" 5 "the radio took exactly five steps"
expect_eq "$(grep '^item 20 up' sim.log | tail -1)" "item 20 up to 117" "the radio ends at the value asked for"
expect_contains "$(cat out.txt)" "value 117" "the dialog ends at the same value"

# Without a retry the value stays where the radio got to, and test mode ends.
SIM_OPTS="--drop-frame 0x20:3" run item=0 value=117 ok --retries 0 && fail "a cancelled step must fail"
expect_eq "$(grep '^item 20 up' sim.log | tail -1)" "item 20 up to 114" "two steps were taken"
expect_contains "$(cat out.txt)" "left test mode" "test mode is left after the cancel"
has "normal operation" "the radio leaves test mode"

# What the radio or the item does not offer is refused with its reason and never reaches the radio;
# a number moved into its range is said.
while IFS='|' read -r opts actions rc want absent; do
  SIM_OPTS="$opts" run $actions; got=$?
  expect_eq "$got" "$rc" "$actions: exit code"
  expect_contains "$(cat err.txt)" "$want" "$actions: says why"
  [ -z "$absent" ] || ! grep -q "$absent" sim.log && pass "$actions: not sent" || fail "$actions: [$absent] sent"
done <<'CASES'
--version 0|item=1 value=120 ok|1|item 1 is only offered on a radio that reports|item 32
|item=13 tx=on|1|item 13 does not allow transmitting|transmitter on
|item=0 tab=1|1|item 0 has no tabs|
|item=0 volume=-4 ok|0|volume -4 is out of range; 0 was set|
|item=0 value=300 ok|0|value 300 is out of range; 255 was set|
CASES
expect_eq "$(grep '^item 20 up' sim.log | tail -1)" "item 20 up to 255" "the clamped value reached the radio (last case)"

# Entering test mode on a radio whose test channels differ from the data set fails.
cp radio.dat other.dat
patch other.dat $((MAIN + 0x3F00)) 00 00 00 01
start_sim --deck1 other.dat
"$CLI" testmode --device "$DEVICE" radio.dat >out.txt 2>err.txt && fail "differing test channels accepted"
expect_contains "$(cat err.txt)" "test channels differ" "differing test channels refused"
kill "$SIM_PID"; wait "$SIM_PID" 2>/dev/null

finish

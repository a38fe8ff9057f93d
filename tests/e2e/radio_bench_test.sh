#!/usr/bin/env bash
# velora-radio-sim --fleet plays a bench: single writes reach the radios one after another, a written
# radio is unplugged and the line stays silent, a radio can stop mid-write, every radio is dumped.
source "$(dirname "$0")/lib.sh" "$1"
cd "$WORK"

"$CLI" new -o base.dat >/dev/null
for n in 1 2 3; do "$CLI" set base.dat dravix.id=100$n -o r$n.dat >/dev/null || fail "preparing r$n.dat"; done

start_sim --fleet 3 --linger 0 --gap 300 --radio-stop 2:10 --dump got --once
"$CLI" write r1.dat --device "$DEVICE" >/dev/null 2>&1 || fail "radio 1 is written"
"$CLI" write r2.dat --retries 0 --device "$DEVICE" >/dev/null 2>&1 && fail "the unplugged radio 1 answers"
sleep 0.4
"$CLI" write r2.dat --retries 0 --device "$DEVICE" >/dev/null 2>&1 && fail "radio 2 stops mid-write"
sleep 0.4
"$CLI" write r3.dat --device "$DEVICE" >/dev/null 2>&1 || fail "radio 3 is written"
wait_sim
kill -0 "$SIM_PID" 2>/dev/null && fail "the bench ends after its last radio"

radio_holds r1.dat got.1 && pass "radio 1 holds its data set" || fail "radio 1 differs"
radio_holds r3.dat got.3 && pass "radio 3 holds its data set" || fail "radio 3 differs"
radio_holds r2.dat got.2 && fail "radio 2 holds all of its data set"
radio_holds r1.dat got.3 && fail "radio 3 holds radio 1's data set"
events=$(sed -n 's/^RADIO \([0-9]*\) \([a-z]*\) .*/\1 \2/p' "$SIM_LOG" | tr '\n' ',')
expect_eq "$events" "1 plugged,1 answered,1 writing,1 written,1 unplugged,2 plugged,2 answered,2 writing,2 unplugged,3 plugged,3 answered,3 writing,3 written,3 unplugged," \
  "the bench reports each radio's way through it"
finish

#!/usr/bin/env bash
# velora-cli probe: which line has a radio, and the radio left as it was found.
source "$(dirname "$0")/lib.sh" "$1"
cd "$WORK"
"$CLI" new -o radio.dat >/dev/null

# sim options | expected line | expected exit status
while IFS='|' read -r opts want status; do
  start_sim --verbose $opts || continue
  out=$("$CLI" probe --device "$DEVICE" 2>&1)
  expect_eq "$?" "$status" "probe exit status with [$opts]"
  expect_eq "$out" "$DEVICE: $want" "probe with [$opts]"
  sleep 0.3 # the simulator notices the closed line
  kill "$SIM_PID"; wait "$SIM_PID" 2>/dev/null
done <<'CASES'
--deck1 radio.dat|RM-420 radio at 9600 baud|0
--deck1 radio.dat --baud 19200|RM-420 radio at 19200 baud|0
--silent|no radio answered|1
--echo|no radio answered|1
CASES
leftInMode=$(grep -l "line dropped: back to normal" "$WORK"/sim.*.err)
expect_eq "$leftInMode" "" "every radio found was taken out of programming mode"

# Several lines in one run, one of them unplugged.
start_sim --deck1 radio.dat
out=$("$CLI" probe --device "$WORK/unplugged" --device "$DEVICE" 2>&1)
expect_eq "$?" 0 "a radio on any line is success"
expect_contains "$out" "unplugged: the device is gone" "an unplugged line says so"
expect_contains "$out" "$DEVICE: RM-420 radio at 9600 baud" "the radio on the second line is found"

# A line held by another program names it.
flock "$DEVICE" sleep 5 &
holder=$!
sleep 0.3
out=$("$CLI" probe --device "$DEVICE" 2>&1)
expect_contains "$out" "in use by another program, flock (pid $holder)" "a busy line names its holder"
kill "$holder" 2>/dev/null; wait "$holder" 2>/dev/null
finish

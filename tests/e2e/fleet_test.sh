#!/usr/bin/env bash
# velora-cli write to four radios at once, one of which refuses a block: a summary per radio.
source "$(dirname "$0")/lib.sh" "$1"
cd "$WORK"

"$CLI" new -o blank.dat >/dev/null
printf 'group,channel,rx,tx,decode,encode,name,scan_add,signalling\n1,1,151.8125,151.8125,Off,Off,Base,1,0\n' > a.csv
"$CLI" channels import blank.dat a.csv -o a.dat 2>/dev/null || fail "preparing a.dat"

DEVS=()
for i in 1 2 3 4; do
  if [ "$i" = 3 ]; then start_sim --deck1 blank.dat --nak-block deck1:7:100 --dump r$i --once
  else start_sim --deck1 blank.dat --dump r$i --once; fi
  DEVS+=("$DEVICE"); PIDS[$i]=$SIM_PID
done
"$CLI" write a.dat --retries 0 --device "${DEVS[0]}" --device "${DEVS[1]}" --device "${DEVS[2]}" \
  --device "${DEVS[3]}" >summary.txt 2>err.txt; rc=$?
expect_eq "$rc" 1 "a fleet with a failed radio exits non-zero"
expect_eq "$(grep -c ' ok ' summary.txt)" 3 "three radios written"
expect_contains "$(grep '^3 ' summary.txt)" "${DEVS[2]} .*FAILED.*main-area block 7" "the summary names the failed radio and where"
expect_contains "$(cat err.txt)" "failed on 1 of 4 radios: 3 at ${DEVS[2]}" "the error names which radio and where"
for i in 1 2 3 4; do SIM_PID=${PIDS[$i]}; wait_sim; done
"$CLI" channels export a.dat > want.csv 2>/dev/null
for i in 1 2 4; do
  # Decks hold the main area, heads the extension area (the names): put the halves together.
  { head -c 16608 r$i.deck1.dat; tail -c 8192 r$i.head1.dat; } > r$i.dat
  "$CLI" channels export r$i.dat > got$i.csv 2>/dev/null
  cmp -s want.csv got$i.csv && pass "radio $i holds the data set" || fail "radio $i differs"
done

# Every line of a radio names its port; one device given twice (also through a link) starts nothing.
start_sim --deck1 blank.dat --version 2 --link "$WORK/radio-link"
ONE=$DEVICE
start_sim --deck1 blank.dat
TWO=$DEVICE
"$CLI" write a.dat --retries 0 --device "$ONE" --device "$TWO" >summary.txt 2>err.txt
expect_contains "$(grep 'refused' err.txt)" "$ONE: refused; use --force-version" "the refusal names its port"
"$CLI" write a.dat --device "$TWO" --device "$WORK/radio-link" --device "$ONE" >summary.txt 2>err.txt; rc=$?
expect_eq "$rc" 2 "the same device twice is a usage error"
expect_contains "$(cat err.txt)" "$ONE is the same device as $WORK/radio-link" "both names are given"
expect_eq "$(cat summary.txt)" "" "nothing was started"

finish

#!/usr/bin/env bash
# velora-cli fleet check/write against a bench of simulated radios on one line: each radio holds the
# base with its own row, the log has a line per radio, a stopped run resumes where it stopped, a radio
# of another model is refused and the run goes on, a duplicate Dravix address is refused by check.
source "$(dirname "$0")/lib.sh" "$1"
cd "$WORK"

"$CLI" new -o blank.dat >/dev/null
"$CLI" set blank.dat emergency.type=DTMF emergency.dtmf_id=200 -o base.dat >/dev/null || fail "preparing base.dat"
{
  echo "radio,dravix.id,emergency.dtmf_id,options.power_on_text"
  for n in 1 2 3 4 5; do echo "unit$n,100$n,20$n,USER$n"; done
} > fleet.csv
for n in 1 2 3 4 5; do
  "$CLI" set base.dat dravix.id=100$n emergency.dtmf_id=20$n options.power_on_text=USER$n -o want$n.dat \
    >/dev/null || fail "preparing want$n.dat"
done

"$CLI" fleet check base.dat fleet.csv >check.txt 2>&1
expect_eq "$?" 0 "the manifest passes the check"
sed 's/^unit2,1002/unit2,1001/' fleet.csv > dup.csv
"$CLI" fleet check base.dat dup.csv >check.txt 2>&1
expect_eq "$?" 1 "a duplicate Dravix fleet and ID is refused"
expect_contains "$(cat check.txt)" "dravix" "the refusal names the field"

# A line that does not open is named once in what is said of it.
"$CLI" fleet write base.dat fleet.csv --device "$WORK/gone" --log gone.csv </dev/null >/dev/null 2>err.txt
expect_eq "$(grep -oF "$WORK/gone" err.txt | wc -l)" 1 "fleet write names the unopened line once"
"$CLI" write base.dat --device "$WORK/gone" 2>err.txt
expect_eq "$(grep failed err.txt | grep -oF "$WORK/gone" | wc -l)" 1 "write names it once in its failure"

# Five radios, one line, no pause between them.
start_sim --fleet 5 --linger 0 --gap 0 --dump got --once
"$CLI" fleet write base.dat fleet.csv --device "$DEVICE" --log run.csv --out out </dev/null >write.txt 2>&1
expect_eq "$?" 0 "five radios written"
wait_sim
for n in 1 2 3 4 5; do
  radio_holds want$n.dat got.$n && pass "radio $n holds the base with its row" || fail "radio $n differs"
  same_areas want$n.dat out/unit$n.dat && pass "unit$n.dat is kept" || fail "out/unit$n.dat differs"
done
expect_eq "$(grep -c '^unit[1-5],' run.csv)" 5 "the log has a line per radio"

# Stopped while waiting for radio 3, then resumed on a fresh bench: only rows 3 to 5 are written.
mkfifo keys
exec 3<>keys
start_sim --fleet 5 --linger 0 --gap 0 --dump first --once
FIRST=$SIM_PID
"$CLI" fleet write base.dat fleet.csv --device "$DEVICE" --log resume.csv --out out2 <keys >stop.txt 2>&1 &
WRITER=$!
# q while radio 2 is being written: the run ends once it is done, before radio 3.
for _ in $(seq 1 300); do grep -q '^RADIO 2 writing' "$SIM_LOG" && break; sleep 0.1; done
echo q >&3
wait "$WRITER"
kill "$FIRST" 2>/dev/null
expect_eq "$(grep -cE '^unit[1-5],.*(written|verified)' resume.csv)" 2 "two radios written before the stop"
start_sim --fleet 3 --linger 0 --gap 0 --dump again --once
"$CLI" fleet write base.dat fleet.csv --device "$DEVICE" --log resume.csv --out out2 --resume </dev/null \
  >resume.txt 2>&1
expect_eq "$?" 0 "the resumed run ends well"
wait_sim
for n in 1 2 3; do
  radio_holds want$((n + 2)).dat again.$n && pass "resumed radio $n holds row $((n + 2))" || fail "resumed radio $n"
done
expect_eq "$(grep -c '^unit[1-5],' resume.csv)" 5 "the log covers all five rows once"

# Radio 2 is of another model: its row is skipped, and the run goes on with the next radio and row.
head -4 fleet.csv > three.csv
start_sim --fleet 3 --linger 0 --gap 0 --radio-ident 2:513031333006500008F0 --dump mixed --once
"$CLI" fleet write base.dat three.csv --device "$DEVICE" --log mixed.csv --out out3 </dev/null >mixed.txt 2>&1
wait_sim
radio_holds want1.dat mixed.1 && pass "radio 1 is written" || fail "radio 1 of the mixed bench"
expect_eq "$(grep -c '^RADIO 2 writing' "$SIM_LOG")" 0 "the radio of another model is not written"
radio_holds want3.dat mixed.3 && pass "the next radio takes the next row" || fail "radio 3 of the mixed bench"
expect_contains "$(grep '^unit2,' mixed.csv)" "another model" "the log names the refusal"
finish

#!/usr/bin/env bash
# velora-cli read and write against a simulated radio whose line stalls, answers late, garbles a
# byte or carries noise. Each transfer either succeeds with exactly the data of a clean one, or fails
# with a message and leaves nothing behind.
source "$(dirname "$0")/lib.sh" "$1"
cd "$WORK"

"$CLI" new -o blank.dat >/dev/null
cat >ch.csv <<'CSV'
group,channel,rx,tx,decode,encode,name,scan_add,signalling
1,1,151.8125,151.8125,67.0,D023N,Base,1,0
1,2,160.5,160.5,Off,Off,Yard,0,2
3,7,148.0,,Off,Off,,1,0
CSV
"$CLI" channels import blank.dat ch.csv -o radio.dat 2>/dev/null || fail "preparing the radio's data"

# The faults hit a main-area block and an extension chunk that travel whole, not as one fill byte.
BLOCK=9
CHUNK=80
EXT=$((MAIN + 16384 + 160))
distinct() { od -An -tx1 -v -j "$2" -N "$3" "$1" | tr -s ' \n' '\n' | sed '/^$/d' | sort -u | wc -l; }
[ "$(distinct radio.dat $((MAIN + BLOCK * 128)) 128)" -gt 1 ] || fail "block $BLOCK travels as a fill frame"
[ "$(distinct radio.dat $((EXT + CHUNK * 32)) 32)" -gt 1 ] || fail "chunk $CHUNK travels as a fill frame"

# What the radio holds after a write: main and DTMF areas from deck 1, extension area from head 1.
radio_image() { { head -c 16608 "$1.deck1.dat"; tail -c 8192 "$1.head1.dat"; } >"$2"; }

# Clean runs give the images every faulty run is held to.
start_sim --deck1 radio.dat
"$CLI" read --device "$DEVICE" -o clean.dat 2>err.txt || fail "clean read: $(cat err.txt)"
kill "$SIM_PID"; wait "$SIM_PID" 2>/dev/null
start_sim --deck1 blank.dat --dump cleansent --once
"$CLI" write --device "$DEVICE" radio.dat 2>err.txt || fail "clean write: $(cat err.txt)"
wait_sim
radio_image cleansent cleansent.img

CLI_OPTS=""

# read FAULT...: the read succeeds with the clean image, or fails saying so and writes no file.
# Sets OUTCOME to "ok" or "failed".
read_with() {
  local name=$1; shift
  rm -f got.dat
  start_sim --deck1 radio.dat "$@"
  if "$CLI" read --device "$DEVICE" -o got.dat $CLI_OPTS 2>err.txt; then
    OUTCOME=ok
    cmp -s got.dat clean.dat && pass "read, $name: the exact data" || fail "read, $name: the data differs"
  else
    OUTCOME=failed
    [ -e got.dat ] && fail "read, $name: a failed read left a file" || pass "read, $name: failed, no file"
    expect_contains "$(cat err.txt)" "read from .* failed" "read, $name: the failure is reported"
  fi
  kill "$SIM_PID"; wait "$SIM_PID" 2>/dev/null
}

# write FAULT...: the write succeeds and the radio holds what a clean write gives it, or it fails
# saying where it stopped.
write_with() {
  local name=$1; shift
  rm -f sent.*.dat
  start_sim --deck1 blank.dat --dump sent --once "$@"
  if "$CLI" write --device "$DEVICE" radio.dat 2>err.txt; then
    OUTCOME=ok
    wait_sim
    radio_image sent sent.img
    cmp -s sent.img cleansent.img && pass "write, $name: the radio holds the data" ||
      fail "write, $name: the radio holds other data"
  else
    OUTCOME=failed
    wait_sim
    expect_contains "$(cat err.txt)" "write to .* failed: stopped at" "write, $name: the failure says where"
  fi
}

# Faults the default retries overcome: each transfer must succeed.
expect_ok() { expect_eq "$OUTCOME" ok "$1 succeeds"; }

read_with "block stalls after 100 bytes" --stall deck1:$BLOCK:100:700; expect_ok "stalled block read"
read_with "block answer late" --late deck1:$BLOCK:700; expect_ok "late block read"
read_with "block kind garbled" --garble deck1:$BLOCK:0; expect_ok "garbled kind read"
read_with "block data garbled" --garble deck1:$BLOCK:60; expect_ok "garbled data read"
read_with "noise before the block" --noise deck1:$BLOCK:3; expect_ok "noisy block read"
read_with "noise before a fill block" --noise deck1:2:1; expect_ok "noisy fill block read"
read_with "chunk stalls after 20 bytes" --stall head1:$CHUNK:20:700; expect_ok "stalled chunk read"
read_with "chunk answer late" --late head1:$CHUNK:700; expect_ok "late chunk read"
read_with "chunk offset garbled" --garble head1:$CHUNK:2; expect_ok "garbled offset read"
read_with "noise before the chunk" --noise head1:$CHUNK:2; expect_ok "noisy chunk read"
# Without retries left the user is told and nothing is saved.
CLI_OPTS="--retries 0"
read_with "noise before every try of the block" --noise deck1:$BLOCK:3:3
expect_eq "$OUTCOME" failed "a block lost three times fails the read"
CLI_OPTS=""

write_with "block acknowledged late" --late deck1:$BLOCK:700; expect_ok "late block write"
write_with "block answer garbled" --garble deck1:$BLOCK:0; expect_ok "garbled answer write"
write_with "noise before the block answer" --noise deck1:$BLOCK:2; expect_ok "noisy block write"
write_with "chunk acknowledged late" --late head1:$CHUNK:700; expect_ok "late chunk write"
write_with "noise before the chunk answer" --noise head1:$CHUNK:1; expect_ok "noisy chunk write"
write_with "chunk answer stalls" --stall head1:$CHUNK:0:700; expect_ok "stalled chunk write"
finish

#!/usr/bin/env bash
# Fault campaign over the radio link: velora-cli reads and writes against velora-radio-sim while the
# radio's answer to one frame goes wrong (no answer, NAK, bad checksum, cut short, stalled mid-frame,
# garbage first, line hung up) at the first, a middle and the last block, record or chunk of every
# area and at the identification, with no retries and with the default ones. Every run must end
# exactly right (read: the clean image; write: the radio holds what a clean write leaves) or as a
# clean failure that names the unit and place, writes no file and leaves the data file alone.
#
#   scripts/fault_campaign.sh [BIN_DIR] [--sample N]   (default BIN_DIR: build/bin)
# --sample N runs every Nth case only (an odd N mixes both retry settings); VELORA_CAMPAIGN_ONLY
# (a glob over "DIRECTION FAULT PLACE", e.g. "write stall deck1:c*") picks cases by name. Exit status 1 when any run ended otherwise.
set -u
here=$(cd "$(dirname "$0")" && pwd)
bin=${1:-$here/../build/bin}
sample=1
[ "${2:-}" = --sample ] && sample=${3:?--sample needs N}
source "$here/../tests/e2e/lib.sh" "$bin"
cd "$WORK"

"$CLI" new -o blank.dat >/dev/null || { echo "velora-cli new failed" >&2; exit 1; }
# Channels spread over the pool so that first, middle and last blocks carry data, not fill bytes.
{
  echo "group,channel,rx,tx,decode,encode,name,scan_add,signalling"
  for g in 1 40 80 120 160; do
    for c in 1 2 3; do echo "$g,$c,15$((c + 1)).0125,15$c.5,67.0,D023N,G${g}C$c,1,0"; done
  done
} >ch.csv
"$CLI" channels import blank.dat ch.csv -o radio.dat 2>err.txt || { echo "preparing the radio's data: $(cat err.txt)" >&2; exit 1; }
cp radio.dat radio.orig

radio_image() { { head -c 16608 "$1.deck1.dat"; tail -c 8192 "$1.head1.dat"; } >"$2"; }
start_sim --deck1 radio.dat || exit 1
"$CLI" read --device "$DEVICE" -o clean.dat 2>err.txt || { echo "clean read failed: $(cat err.txt)" >&2; exit 1; }
kill "$SIM_PID"; wait "$SIM_PID" 2>/dev/null
start_sim --deck1 blank.dat --dump cleansent --once || exit 1
"$CLI" write --device "$DEVICE" radio.dat 2>err.txt || { echo "clean write failed: $(cat err.txt)" >&2; exit 1; }
wait_sim
radio_image cleansent cleansent.img

# The places: SIM-PLACE|WHAT THE CLI NAMES. A stop names the unit, the area and the furthest unit
# any attempt reached: a retry starts the area again, and an answer held up past its time-out can be
# taken for the next frame's, so the stop may be named a little further on than the faulty frame.
# A failure must name a unit and place, or the identification that did not come.
stop_pattern="stopped at (deck|head) [12], (main-area block|DTMF code record|extension chunk) [0-9]+ |did not send its identification"
places=("deck1:id|identification"
        "deck1:0|deck 1, main-area block 0" "deck1:64|deck 1, main-area block 64"
        "deck1:127|deck 1, main-area block 127"
        "deck1:c0|deck 1, DTMF code record 0" "deck1:c4|deck 1, DTMF code record 4"
        "deck1:c8|deck 1, DTMF code record 8"
        "head1:0|head 1, extension chunk 0" "head1:128|head 1, extension chunk 128"
        "head1:255|head 1, extension chunk 255")
# Every attempt at the frame goes wrong (three attempts per frame), so only a retry by the user
# gets past it.
ATTEMPTS=3
faults_for() { # DIRECTION PLACE -> fault names
  local dir=$1 place=$2
  local list="no-answer nak truncated stall garbage hang-up"
  [ "$dir" = read ] && [[ $place =~ ^deck1:[0-9]+$ ]] && list="$list bad-checksum"
  echo $list
}
fault_args() { # DIRECTION FAULT PLACE
  local dir=$1 f=$2 p=$3 cut=1
  [ "$dir" = write ] && cut=0 # a write's answer is one byte
  case $f in
  no-answer) echo "--drop $p:$ATTEMPTS" ;;
  nak) [ "$dir" = write ] && [[ $p != *:id ]] && echo "--nak-block $p:$ATTEMPTS" || echo "--nak-answer $p:$ATTEMPTS" ;;
  truncated) echo "--truncate $p:$cut:$ATTEMPTS" ;;
  stall) echo "--stall $p:$cut:900:$ATTEMPTS" ;;
  garbage) echo "--noise $p:5:$ATTEMPTS" ;;
  hang-up) echo "--hang-up $p:$cut" ;;
  bad-checksum) echo "--bad-checksum $p:$ATTEMPTS" ;;
  esac
}

runs=0 exact=0 clean=0 other=0 n=0
declare -A cell
note() { # DIRECTION FAULT RESULT
  local key="$1 $2"
  cell[$key]="${cell[$key]:-}$3"
}
run_case() { # DIRECTION PLACE NAMED FAULT RETRIES
  local dir=$1 place=$2 named=$3 fault=$4 retries=$5 result=other why=""
  rm -f got.dat sent.*.dat
  if [ "$dir" = read ]; then
    start_sim --deck1 radio.dat $(fault_args read "$fault" "$place") || return
    if "$CLI" read --device "$DEVICE" -o got.dat --retries "$retries" 2>err.txt; then
      cmp -s got.dat clean.dat && result=exact || why="read succeeded with other data"
    elif [ -e got.dat ]; then why="a failed read left a file"
    elif ! grep -q "read from .* failed: .*no file written" err.txt; then why="no clear failure"
    elif ! grep -Eq "$stop_pattern" err.txt; then why="the place is not named"
    else result=clean; fi
    kill "$SIM_PID" 2>/dev/null; wait "$SIM_PID" 2>/dev/null
  else
    start_sim --deck1 blank.dat --dump sent --once $(fault_args write "$fault" "$place") || return
    if "$CLI" write --device "$DEVICE" radio.dat --retries "$retries" 2>err.txt; then
      wait_sim
      radio_image sent sent.img
      cmp -s sent.img cleansent.img && result=exact || why="the radio holds other data"
    else
      wait_sim
      if ! grep -q "write to .* failed" err.txt; then why="no clear failure"
      elif ! grep -Eq "$stop_pattern" err.txt; then why="the place is not named"
      else result=clean; fi
    fi
    cmp -s radio.dat radio.orig || { result=other; why="the data file changed"; cp radio.orig radio.dat; }
  fi
  runs=$((runs + 1))
  case $result in
  exact) exact=$((exact + 1)); note "$dir" "$fault" E ;;
  clean) clean=$((clean + 1)); note "$dir" "$fault" C ;;
  *) other=$((other + 1)); note "$dir" "$fault" X
     echo "OTHER: $dir, $fault at $place, retries $retries: $why: $(tail -2 err.txt | tr '\n' ' ')" >&2 ;;
  esac
}

for dir in read write; do
  for entry in "${places[@]}"; do
    place=${entry%%|*} named=${entry#*|}
    for fault in $(faults_for "$dir" "$place"); do
      for retries in 0 default; do
        n=$((n + 1))
        [ $((n % sample)) -eq 0 ] || continue
        [[ "$dir $fault $place" == ${VELORA_CAMPAIGN_ONLY:-*} ]] || continue
        r=$retries; [ "$r" = default ] && r=2
        run_case "$dir" "$place" "$named" "$fault" "$r"
      done
    done
  done
done

printf '\n%-6s %-13s %5s %6s %6s %6s\n' dir fault runs exact clean other
for key in $(printf '%s\n' "${!cell[@]}" | sort | tr ' ' '|'); do
  k=${key/|/ } s=${cell[$k]}
  e=${s//[^E]/} c=${s//[^C]/} x=${s//[^X]/}
  printf '%-6s %-13s %5d %6d %6d %6d\n' ${k%% *} ${k#* } ${#s} ${#e} ${#c} ${#x}
done
printf '%-20s %5d %6d %6d %6d\n' total "$runs" "$exact" "$clean" "$other"
[ "$other" -eq 0 ]

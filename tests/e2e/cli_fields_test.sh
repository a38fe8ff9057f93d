#!/usr/bin/env bash
# velora-cli fields / set: every field and grid cell of every registered area, entered as a user
# would, shows afterwards what its editor shows; refused entries leave the file byte for byte.
source "$(dirname "$0")/lib.sh" "$1"
cd "$WORK"

# A data set on which most fields apply: channels in groups 1 and 2, both priorities on fixed
# channels, a home key, PTT ID on.
"$CLI" new -o new.dat >/dev/null || fail "new"
printf 'group,channel,rx,tx,decode,encode,name,scan_add,signalling\n1,1,151,151,,,,1,0\n1,2,152,152,,,,1,0\n2,1,153,153,,,,1,0\n' > ch.csv
"$CLI" channels import new.dat ch.csv -o base.dat 2>/dev/null || fail "channels"
"$CLI" set base.dat "scan.priority_1=Fixed Channel" "scan.priority_2=operator selectable" \
  scan.priority_1_group=1 scan.priority_1_channel=1 scan.priority_2_group=1 scan.priority_2_channel=2 \
  "keys.1.3=Home Channel" options.home_group=1 options.home_channel=1 "options.ptt_id=Connect + Disconnect" \
  || fail "preparing the data set"

# Edits: what is typed, and what the editor then shows; every edit of every area needs a row.
# Channel 9 of group 1 does not exist: refused with the view's message, channel 2 stays.
declare -A TYPED SHOWN
while IFS='|' read -r key typed shown; do
  [ -n "$key" ] && TYPED[$key]=$typed && SHOWN[$key]=$shown
done <<'TABLE'
scan.priority_1_group|2|2
scan.priority_1_channel|2|2
scan.priority_2_group|2|2
scan.priority_2_channel|9|2
scan.look_back_time_a|1.23|1.2
scan.look_back_time_b|1.2|1.0
scan.dropout_delay_time|9|5.0
scan.dwell_time||3.0
message.line_1|0123456789abcdefghijklmnopqrstuvwxyz|0123456789abcdefghijklmnopqrstuv
message.line_2|Hello   |Hello
options.channel_text_size|3|3
options.group_text_size||Off
options.minimum_volume|45|31
options.squelch_level||1
options.power_on_text|abc def ghij|ABC DEF
options.timed_power_off|9|8
options.home_group|2|2
options.home_channel|2|2
options.logic_signal_time|45|30
options.power_on_tone|c|Continuous
options.control_tone|45|31
options.warning_tone|7|7
options.alert_tone||Continuous
options.connect_id|12ab*#9x|12AB*#9
options.disconnect_id||
TABLE

field() { sed -n "s/.*\"$2\":\"\{0,1\}\([^\",}]*\)\"\{0,1\}[,}].*/\1/p" <<<"$1"; }
shown_after() { "$CLI" fields "$1" "${2%%.*}" --json | grep -F "{\"key\":\"$2\"," | sed -n 's/.*"text":"\([^"]*\)".*/\1/p'; }

"$CLI" fields base.dat --json > all.json || fail "fields --json"
command -v jq >/dev/null && { jq -e 'length > 0' all.json >/dev/null && pass "valid JSON" || fail "invalid JSON"; }
"$CLI" fields base.dat > all.txt || fail "fields"
expect_eq "$(wc -l < all.txt)" "$(grep -c '^{"key"' all.json)" "plain and JSON list the same fields"

walked=0
while IFS= read -r line; do
  key=$(field "$line" key); kind=$(field "$line" kind); enabled=$(field "$line" enabled)
  cp base.dat w.dat
  if [ "$enabled" != true ]; then
    if "$CLI" set w.dat "$key=1" 2>err.txt; then fail "$key: disabled field accepted"; fi
    grep -qF "$key" err.txt || fail "$key: refusal does not name the key"
    cmp -s w.dat base.dat || fail "$key: refused set changed the file"
    walked=$((walked + 1)); continue
  fi
  case $kind in
    check) typed=$([ "$(field "$line" text)" = 1 ] && echo 0 || echo 1); want=$typed ;;
    list) typed=$(sed -n 's/.*"values":\[\(.*\)\]}.*/\1/p' <<<"$line" | sed 's/.*"\([^"]*\)"$/\1/'); want=$typed ;;
    *) if [ -z "${TYPED[$key]+set}" ]; then fail "$key: no row in the table"; continue; fi
       typed=${TYPED[$key]}; want=${SHOWN[$key]} ;;
  esac
  # Lists take their items in any case.
  [ "$kind" = list ] && arg=${typed^^} || arg=$typed
  "$CLI" set w.dat "$key=$arg" 2>err.txt || { fail "$key=$arg refused: $(cat err.txt)"; continue; }
  got=$(shown_after w.dat "$key")
  [ "$got" == "$want" ] || fail "$key=$arg shows [$got], expected [$want]"
  walked=$((walked + 1))
done < <(grep '^{"key"' all.json)
expect_eq "$walked" "$(grep -c '^{"key"' all.json)" "every field walked"
for area in keys scan function_port message options; do
  grep -q "\"area\":\"$area\"" all.json && pass "area $area listed" || fail "area $area missing"
done

# A refusal anywhere in the command refuses all of it.
cp base.dat w.dat
for bad in "scan.nothing=1" "scan.priority_1=Fixed" "options.dial_id=yes" "scan.dwell_time"; do
  if "$CLI" set w.dat options.minimum_volume=5 "$bad" 2>err.txt; then fail "$bad accepted"; fi
  cmp -s w.dat base.dat && pass "'$bad' leaves the file untouched" || fail "'$bad' changed the file"
done
"$CLI" fields w.dat nowhere >/dev/null 2>&1 && fail "unknown area accepted" || pass "unknown area refused"

# -o writes elsewhere; the message a refused group gives goes to stderr.
cp base.dat before.dat
"$CLI" set base.dat options.home_group=99 -o out.dat 2>err.txt || fail "set -o"
expect_contains "$(cat err.txt)" "options.home_group" "the view's message names the field"
cmp -s before.dat base.dat && pass "set -o leaves the input alone" || fail "set -o changed the input"
expect_eq "$(shown_after out.dat options.home_group)" 1 "a group that does not exist is not stored"

finish

#!/usr/bin/env bash
# velora-cli fields / set: every field and grid cell of every registered area, entered as a user
# would, shows afterwards what its editor shows; refused entries leave the file byte for byte.
source "$(dirname "$0")/lib.sh" "$1"
cd "$WORK"

# A data set on which most fields apply: channels in groups 1 and 2, both priorities on fixed
# channels, a home key and an emergency key, PTT ID on, every 2-tone tone in use.
"$CLI" new -o new.dat >/dev/null || fail "new"
printf 'group,channel,rx,tx,decode,encode,name,scan_add,signalling\n1,1,151,151,,,,1,0\n1,2,152,152,,,,1,0\n2,1,153,153,,,,1,0\n' > ch.csv
"$CLI" channels import new.dat ch.csv -o base.dat 2>/dev/null || fail "channels"
"$CLI" set base.dat "scan.priority_1=Fixed Channel" "scan.priority_2=operator selectable" \
  scan.priority_1_group=1 scan.priority_1_channel=1 scan.priority_2_group=1 scan.priority_2_channel=2 \
  "keys.1.3=Home Channel" options.home_group=1 options.home_channel=1 "options.ptt_id=Connect + Disconnect" \
  "keys.1.4=Emergency" "two_tone.code_1.decoder_2_format=C" \
  || fail "preparing the data set"

# Edits: what is typed, and what the editor then shows; every edit of every area needs a row.
# A "*" in a key stands for every row of a grid.
declare -A TYPED SHOWN
while IFS='|' read -r key typed shown; do
  [ -n "$key" ] && TYPED[$key]=$typed && SHOWN[$key]=$shown
done <<'TABLE'
scan.priority_1_group|2|2
scan.priority_1_channel|2|2
scan.priority_2_group|2|2
scan.priority_2_channel|1|1
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
two_tone.code_1.a_tone|100|288.5
two_tone.code_1.b_tone|5000|2840.0
two_tone.code_1.c_tone||600.9
two_tone.code_2.a_tone|1000.07|1000.0
two_tone.code_2.b_tone|288.46|288.5
two_tone.code_3.a_tone|abc|321.7
two_tone.code_3.b_tone|928,15|928.1
dtmf.speed|12|10
dtmf.first_digit_delay_time|1234|1000
dtmf.first_digit_time|700|500
dtmf.star_hash_digit_time|50|0
dtmf.primary_code|12a|12A
dtmf.secondary_code|1234567890|1234567
dtmf.dead_beat_disable||
dtmf.3.*|1*#9x|1*#9
dravix.fleet|350|349
dravix.id|5|1000
dravix.tx_modulation_delay||400
emergency.group|2|2
emergency.active_time||3
emergency.interval_time|181|180
emergency.locator_tone_1|0|Off
emergency.locator_tone_2|off|Off
ost.1.*.name|abcdefghijk|ABCDEFGH
ost.1.*.tone_1|d023n|D023N
ost.1.*.tone_2|67|67.0
remote_list.1.*.group|2|2
test_frequency.1.*.rx|150.0125|150.01250
test_frequency.1.*.tx|300|174.00000
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
    *) row=$key
       [ -z "${TYPED[$row]+set}" ] && row=$(sed -E 's/^([a-z_]+\.[0-9]+\.)[0-9]+/\1*/' <<<"$key")
       if [ -z "${TYPED[$row]+set}" ]; then fail "$key: no row in the table"; continue; fi
       typed=${TYPED[$row]}; want=${SHOWN[$row]} ;;
  esac
  # Lists take their items in any case.
  [ "$kind" = list ] && arg=${typed^^} || arg=$typed
  "$CLI" set w.dat "$key=$arg" 2>err.txt || { fail "$key=$arg refused: $(cat err.txt)"; continue; }
  got=$(shown_after w.dat "$key")
  [ "$got" == "$want" ] || fail "$key=$arg shows [$got], expected [$want]"
  walked=$((walked + 1))
done < <(grep '^{"key"' all.json)
expect_eq "$walked" "$(grep -c '^{"key"' all.json)" "every field walked"
for area in keys scan function_port message options two_tone dtmf dravix emergency ost remote_list repeater_list \
  test_frequency; do
  grep -q "\"area\":\"$area\"" all.json && pass "area $area listed" || fail "area $area missing"
done

# What the emergency type selects, the call fleet, and the lists' refusals.
cp base.dat w.dat
"$CLI" set w.dat emergency.type=dravix emergency.call_fleet=99 emergency.call_id=99999 2>err.txt || fail "emergency call"
expect_eq "$(shown_after w.dat emergency.call_fleet),$(shown_after w.dat emergency.call_id)" "100,4999" "call fleet and ID clamp"
"$CLI" set w.dat emergency.dtmf_id=12 2>/dev/null && fail "DTMF ID taken with a Dravix type"
"$CLI" set w.dat emergency.type=DTMF emergency.dtmf_id=12ab*# || fail "emergency DTMF ID"
expect_eq "$(shown_after w.dat emergency.dtmf_id)" "12AB*#" "emergency DTMF ID"
"$CLI" set w.dat remote_list.1.1.group=1 remote_list.1.1.channel=2 || fail "remote list"
cp w.dat before.dat
"$CLI" set w.dat remote_list.1.2.group=1 remote_list.1.2.channel=2 2>err.txt && fail "a listed channel accepted twice"
expect_contains "$(cat err.txt)" "remote_list.1.2.channel" "a channel already in the list names the cell"
cmp -s w.dat before.dat && pass "a channel already in the list is refused" || fail "a refused channel changed the file"
"$CLI" set w.dat remote_list.1.16.group=1 2>/dev/null && fail "a 16th remote entry accepted"
"$CLI" set w.dat dtmf.auto_dial=0 || fail "auto dial off"
"$CLI" set w.dat dtmf.3.1=1 2>/dev/null && fail "auto-dial code taken with auto dial off"
pass "emergency and list cells"

# Text goes in and out as UTF-8 and is stored one byte per character: what fields --json shows,
# set stores again byte for byte; a character without a byte is refused.
cp base.dat w.dat
"$CLI" set w.dat "message.line_1=Café ünïcode" 2>err.txt || fail "accented text refused: $(cat err.txt)"
expect_eq "$(shown_after w.dat message.line_1)" 'Caf\u00e9 \u00fcn\u00efcode' "one byte per accented character"
expect_eq "$("$CLI" fields w.dat message | grep '^message.line_1' | cut -f2)" "Café ünïcode" "fields prints UTF-8"
expect_contains "$("$CLI" report w.dat --sections message)" "Café ünïcode" "report prints UTF-8"
text=$("$CLI" fields w.dat message --json | jq -r '.[] | select(.key == "message.line_1") | .text')
cp w.dat before.dat
"$CLI" set w.dat "message.line_1=$text" 2>err.txt || fail "fields --json text refused: $(cat err.txt)"
cmp -s w.dat before.dat && pass "fields --json -> set stores the same bytes" || fail "the round trip changed the file"
"$CLI" set w.dat "message.line_2=5 €" 2>err.txt && fail "a character without a byte accepted"
expect_contains "$(cat err.txt)" "message.line_2: '€'" "the refused character names the field"
cmp -s w.dat before.dat && pass "a refused character leaves the file" || fail "a refused character changed the file"

# Whatever a field shows other than typed is reported; --strict refuses instead.
cp base.dat w.dat
"$CLI" set w.dat options.minimum_volume=100 "ost.1.2.name=a~b" options.warning_tone=7 2>err.txt ||
  fail "set with changed values refused: $(cat err.txt)"
expect_eq "$(cat err.txt)" 'velora-cli: options.minimum_volume: "100" -> "10"
velora-cli: ost.1.2.name: "a~b" -> "AB"' "one line per changed key, typed -> stored"
cp base.dat w.dat
"$CLI" set w.dat --strict options.warning_tone=7 "scan.priority_1_group=abc" 2>err.txt && fail "--strict took a changed value"
expect_contains "$(cat err.txt)" 'scan.priority_1_group: "abc" -> ""' "--strict names the key"
cmp -s w.dat base.dat && pass "--strict leaves the file" || fail "--strict changed the file"
"$CLI" set w.dat --strict options.warning_tone=7 "scan.priority_1=fixed channel" 2>err.txt || fail "--strict refused exact values: $(cat err.txt)"
"$CLI" set w.dat "dtmf.3.1=1 2" 2>err.txt && fail "a blank in an auto-dial code accepted"
expect_contains "$(cat err.txt)" "dtmf.3.1: a DTMF code takes no blank" "a blank in a DTMF code names the key"

# A refusal anywhere in the command refuses all of it.
cp base.dat w.dat
for bad in "scan.nothing=1" "scan.priority_1=Fixed" "options.dial_id=yes" "scan.dwell_time"; do
  if "$CLI" set w.dat options.minimum_volume=5 "$bad" 2>err.txt; then fail "$bad accepted"; fi
  cmp -s w.dat base.dat && pass "'$bad' leaves the file untouched" || fail "'$bad' changed the file"
done
"$CLI" fields w.dat nowhere >/dev/null 2>&1 && fail "unknown area accepted" || pass "unknown area refused"

# -o writes elsewhere; the message a refused group gives goes to stderr.
cp base.dat before.dat
"$CLI" set base.dat options.home_group=99 -o out.dat 2>err.txt && fail "a group that does not exist accepted"
expect_contains "$(cat err.txt)" "options.home_group" "the view's message names the field"
cmp -s before.dat base.dat && pass "set -o leaves the input alone" || fail "set -o changed the input"
[ -e out.dat ] && fail "a refused set wrote its output" || pass "a refused set writes nothing"

finish

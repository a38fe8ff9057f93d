#!/usr/bin/env bash
# velora-cli on data files: new, info, channels export and import.
source "$(dirname "$0")/lib.sh" "$1"
cd "$WORK"

"$CLI" new -o new.dat >/dev/null || fail "new"
expect_eq "$(stat -c %s new.dat)" 24800 "new writes a 24800-byte data file"
info=$("$CLI" info new.dat)
expect_contains "$info" "Title: *RM-420" "info names the default model"
expect_contains "$info" "Channels: *0 of 160" "a new data set has no channels"
expect_contains "$info" "Free area: *2560 bytes" "free area of an empty pool"
expect_contains "$("$CLI" --extended info new.dat)" "of 255" "extended mode widens the pool"

# A refused file: non-zero exit, a message, nothing changed.
head -c 1000 new.dat > short.dat
cp short.dat short.orig
if "$CLI" info short.dat 2>err.txt; then fail "short file accepted"; else pass "short file refused"; fi
[ -s err.txt ] && pass "refusal explained on stderr" || fail "no message for a refused file"
cmp -s short.dat short.orig && pass "refused file untouched" || fail "refused file changed"

cat > in.csv <<'CSV'
group,channel,rx,tx,decode,encode,name,scan_add,signalling
1,1,151.8125,151.8125,67.0,D023N,Base,1,0
1,3,174.5,,Off,Off,,0,2
2,5,155,155,Off,d754i,"Yard, N",1,1
CSV
"$CLI" channels import new.dat in.csv -o one.dat 2>imp.txt || fail "import: $(cat imp.txt)"
out=$("$CLI" channels export one.dat)
expect_eq "$(head -1 <<<"$out" | cut -d, -f1-9)" "group,channel,rx,tx,decode,encode,name,scan_add,signalling" "export header"
expect_contains "$out" "^1,1,151.81250,151.81250,67.0,D023N,BASE,1,0" "typed channel round trip, the name in capitals"
expect_contains "$out" "^2,5,155.00000,155.00000,Off,D754I,\"YARD, N\",1,1" "quoted name and inverted DCS"
expect_contains "$out" "^1,3,174.50000,," "inside the wide limits a frequency stays as typed"
expect_contains "$(cat imp.txt)" "line 3" "band warning names its CSV line"
printf 'group,channel,rx,tx,decode,encode,name,scan_add,signalling\n1,3,460.5,,Off,Off,,0,2\n' > uhf.csv
if "$CLI" channels import one.dat uhf.csv -o uhf.dat 2>err.txt; then fail "a UHF frequency in a VHF model accepted"; fi
expect_contains "$(cat err.txt)" "line 2: rx '460.5' is outside the radio's band" "a value the grid would clamp is refused"

# Empty rx deletes; the import is all or nothing.
printf 'group,channel,rx,tx,decode,encode,name,scan_add,signalling\n1,1,,,,,,,\n' > del.csv
"$CLI" channels import one.dat del.csv -o two.dat 2>/dev/null || fail "delete import"
grep -q "^1,1," <<<"$("$CLI" channels export two.dat)" && fail "empty rx deletes the channel" || pass "empty rx deletes"

cp one.dat keep.dat
printf 'group,channel,rx,tx,decode,encode,name,scan_add,signalling\n1,2,150,150,Off,Off,,1,0\n161,1,150,,,,,,\n' > bad.csv
if "$CLI" channels import keep.dat bad.csv 2>err.txt; then fail "bad group accepted"; fi
expect_contains "$(cat err.txt)" "line 3" "refusal names the line"
cmp -s keep.dat one.dat && pass "refused import leaves the file untouched" || fail "file changed by refused import"
"$CLI" channels import keep.dat bad.csv --skip-unusable -o skip.dat 2>/dev/null || fail "--skip-unusable refused"
expect_contains "$("$CLI" channels export skip.dat)" "^1,2,150.00000" "--skip-unusable imports the other rows"

printf 'group,channel,rx,tx,decode,encode,name,scan_add,signalling\n1,2,abc,,,,,,\n' > junk.csv
"$CLI" channels import keep.dat junk.csv 2>/dev/null && fail "unparsable rx accepted" || pass "unparsable rx refused"

# A zero rx is refused with its line rather than deleting the channel the rest of the row describes.
printf 'group,channel,rx,tx,decode,encode,name,scan_add,signalling\n1,2,150,,,,,,\n1,1,0,150,Off,Off,Base,1,0\n' > zero.csv
if "$CLI" channels import keep.dat zero.csv 2>err.txt; then fail "rx 0 accepted"; fi
expect_contains "$(cat err.txt)" "line 3: rx '0' is no frequency" "rx 0 refused with its line"
cmp -s keep.dat one.dat && pass "a refused rx 0 leaves the file untouched" || fail "file changed by rx 0"

# A 1.25 kHz value the channel step rounds down is reported with its line, unless --fine-step keeps it.
printf 'group,channel,rx,tx,decode,encode,name,scan_add,signalling\n1,1,151.80125,,Off,Off,,1,0\n' > fine.csv
"$CLI" channels import new.dat fine.csv -o fine.dat 2>err.txt || fail "fine import: $(cat err.txt)"
expect_contains "$(cat err.txt)" "line 2: rx 151.80125 was stored as 151.80000: .*--fine-step" "rounding warned"
"$CLI" --fine-step channels import new.dat fine.csv -o fine.dat 2>err.txt || fail "fine-step import"
expect_eq "$(grep -c warning err.txt)" 0 "--fine-step keeps 1.25 kHz without a warning"

# On a low-band channel the bandwidth bit is the noise blanker's: the column leaves it alone.
cp new.dat low.dat
patch low.dat $((MAIN + 0x3EE0)) 51 30 31 31 30 01
for bw in 0 1; do
  printf 'group,channel,rx,tx,decode,encode,name,scan_add,signalling,bandwidth\n1,1,35.0,35.0,Off,Off,,1,0,%s\n' $bw > bw$bw.csv
  "$CLI" channels import low.dat bw$bw.csv -o low$bw.dat 2>/dev/null || fail "low-band import, bandwidth $bw"
done
cmp -s low0.dat low1.dat && pass "bandwidth leaves a low-band channel's noise blanker bit" || fail "bandwidth changed the noise blanker bit"

# Pool full: 161 channels in normal mode.
{ echo "group,channel,rx,tx,decode,encode,name,scan_add,signalling"
  for i in $(seq 1 161); do echo "$(( (i - 1) / 100 + 1 )),$(( (i - 1) % 100 + 1 )),150.0125,,,,,1,0"; done; } > full.csv
"$CLI" channels import new.dat full.csv -o full.dat 2>err.txt && fail "161 channels accepted in normal mode" || true
expect_contains "$(cat err.txt)" "line 162" "no room refuses at the 161st row"
"$CLI" --extended channels import new.dat full.csv -o full.dat 2>/dev/null || fail "extended mode holds 161 channels"

# A CHIRP-style list fills the group given; a row the radio cannot hold refuses it, naming the line,
# unless --skip-unusable; the export in that format reads back into the same channels.
cat > chirp.csv <<'CSV'
Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode,TStep,Skip,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE
1,Rpt,162.550000,-,0.600000,Tone,100.0,88.5,023,NN,FM,5.00,,,,,,
2,Air,121.500000,,0.000000,,88.5,88.5,023,NN,AM,25.00,,,,,,
3,Dcs,153.000000,,0.000000,DTCS,88.5,88.5,754,NR,NFM,12.50,S,,,,,
CSV
cp one.dat chirp.orig
if "$CLI" channels import one.dat chirp.csv --group 3 2>err.txt; then fail "an AM row accepted"; fi
expect_contains "$(cat err.txt)" "line 3: mode AM" "the unusable row is named with its line"
cmp -s one.dat chirp.orig && pass "a refused list changes nothing" || fail "file changed by a refused list"
"$CLI" channels import one.dat chirp.csv --group 3 --skip-unusable -o chirp.dat 2>err.txt || fail "skip: $(cat err.txt)"
out=$("$CLI" channels export chirp.dat)
"$CLI" channels import one.dat chirp.csv --group 2 --skip-unusable -o g2.dat 2>err.txt || fail "group 2: $(cat err.txt)"
expect_contains "$(cat err.txt)" "deleted from group 2, not in the list: channel 5 YARD, N" "a channel the list drops is named"
expect_contains "$out" "^3,1,162.55000,161.95000,Off,100.0,RPT,1," "duplex minus and an encoded tone"
expect_contains "$out" "^3,3,153.00000,153.00000,D754I,D754N,DCS,0," "DTCS polarity and skip"
expect_contains "$out" "^1,1,151.81250" "other groups stay"
"$CLI" channels export chirp.dat --format chirp --group 3 > back.csv || fail "chirp export"
"$CLI" channels import new.dat back.csv --group 3 -o back.dat 2>/dev/null || fail "chirp export does not read back"
expect_eq "$("$CLI" channels export back.dat)" "$("$CLI" channels export chirp.dat | grep -v '^[12],')" \
  "the CHIRP export reads back into the same channels"

# A port number must be one of COM1 to COM20 as a whole word, or nothing is opened.
for bad in 0 21 3x ""; do
  "$CLI" read --port "$bad" -o none.dat 2>err.txt; rc=$?
  expect_eq "$rc" 2 "--port '$bad' is a usage error"
done
[ -e none.dat ] && fail "a refused port still wrote a file" || pass "a refused port writes no file"
finish

#!/usr/bin/env bash
# velora-cli fleet report: the delivery sheet of a production log as text, each radio once with the
# result of its last attempt; a PDF is not written as text under a PDF's name.
source "$(dirname "$0")/lib.sh" "$1"
cd "$WORK"

"$CLI" new -o base.dat >/dev/null
cat > run.csv <<'LOG'
radio,time,port,model,values,result,retries
Unit 1,2026-12-08T10:00:00,COM1,RM-420,dravix.id=1001; emergency.dtmf_id=201,verified,0
Zoë,2026-12-08T10:01:00,COM1,RM-420,dravix.id=1002,failed at block 12,2
Unit 3,2026-12-08T10:02:00,COM1,RM-420,,skipped: another model (--force-model writes it),0
Zoë,2026-12-08T10:09:00,COM1,RM-420,dravix.id=1002,verified,0
LOG
# 2026-12-08 at noon, whatever the time zone.
export SOURCE_DATE_EPOCH=1796731200
want="Delivery sheet

Customer:  Harbour Ferries
Date:      2026-12-08
Data set:  base.dat
Model:     RM-420 VHF : 148-174 MHz (K)
Radios:    3

Unit 1  verified  dravix.id=1001; emergency.dtmf_id=201
Zoë     verified  dravix.id=1002
Unit 3  skipped: another model (--force-model writes it)"
expect_eq "$("$CLI" fleet report run.csv --customer "Harbour Ferries" --base base.dat)" "$want" "the sheet on stdout"
"$CLI" fleet report run.csv --customer "Harbour Ferries" --base base.dat -o sheet.txt
expect_eq "$(cat sheet.txt)" "$want" "the sheet in a file"

"$CLI" fleet report run.csv -o sheet.pdf 2>err.txt
expect_eq "$?" 2 "a PDF name is refused"
expect_eq "$([ -e sheet.pdf ] && echo there || echo none)" none "no file under the PDF's name"
expect_contains "$(cat err.txt)" "Fleet Programming" "the refusal says where a PDF comes from"
finish

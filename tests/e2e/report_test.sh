#!/usr/bin/env bash
# velora-cli report and velora --export-pdf: the default data set's report as text, compared with the
# checked-in copy; a PDF of a data set with channels and an embedded message.
source "$(dirname "$0")/lib.sh" "$1"
EXPECTED="$(cd "$(dirname "$0")" && pwd)/expected"
cd "$WORK"
# A fixed clock and locale, so the header stamp is the same on every run.
export SOURCE_DATE_EPOCH=0 TZ=UTC LC_ALL=C

"$CLI" new -o new.dat >/dev/null || fail "new"
"$CLI" report new.dat -o report.txt || fail "report"
if cmp -s report.txt "$EXPECTED/report_default.txt"; then pass "default report"; else
  fail "default report differs: $(diff "$EXPECTED/report_default.txt" report.txt | head -20)"; fi
expect_eq "$("$CLI" report new.dat | cmp - report.txt && echo same)" "same" "stdout and -o agree"

"$CLI" report new.dat --sections model,bogus >/dev/null 2>err.txt
expect_eq "$?" "2" "unknown section refused"
expect_contains "$(cat err.txt)" "bogus" "the unknown name is named"
only=$("$CLI" report new.dat --sections model)
expect_eq "$(grep -c $'\f' <<<"$only")" "0" "model alone: one page"
expect_contains "$only" "RM-420" "model block"

# PDF: group 1 with three channels, group 2 with one, and both message lines.
if [ -x "$BIN/velora" ] && command -v pdfinfo >/dev/null && command -v pdftotext >/dev/null; then
  printf 'group,channel,rx,tx,decode,encode,name,scan_add,signalling\n1,1,151,151,,,ALPHA,1,0\n1,2,152,152,,,BRAVO,1,0\n1,3,153,153,,,CHARLIE,1,0\n2,1,153,153,,,DELTA,1,0\n' >ch.csv
  "$CLI" channels import new.dat ch.csv -o ch.dat >/dev/null 2>&1 || fail "channels"
  "$CLI" set ch.dat "message.line_1=FLEET 7 NORTH DEPOT" "message.line_2=CALL 555 0100" -o pdf.dat || fail "message"
  QT_QPA_PLATFORM=offscreen "$BIN/velora" --export-pdf pdf.dat out.pdf 2>/dev/null
  expect_eq "$?" "0" "export exit code"
  expect_eq "$(head -c 5 out.pdf 2>/dev/null)" "%PDF-" "a PDF file"
  # 13 section pages (2 optional features, 2 function port, one each for the other 9 sections of a
  # single-band, single-head data set) and 3 channel pages (2 + 1 channels for group 1, group 2).
  expect_eq "$(pdfinfo out.pdf | sed -n 's/^Pages: *//p')" "16" "page count"
  text=$(pdftotext -layout out.pdf -)
  expect_contains "$text" "CHARLIE" "channel name"
  expect_contains "$text" "FLEET 7 NORTH DEPOT" "embedded message"
  QT_QPA_PLATFORM=offscreen "$BIN/velora" --export-pdf pdf.dat model.pdf --sections model,message
  expect_eq "$(pdfinfo model.pdf | sed -n 's/^Pages: *//p')" "1" "sections of the export"
  QT_QPA_PLATFORM=offscreen "$BIN/velora" --export-pdf missing.dat none.pdf 2>/dev/null
  expect_eq "$?" "1" "a data file that cannot be opened"
  [ ! -e none.pdf ] && pass "no PDF for it" || fail "a PDF was written"
else
  echo "skip: velora or poppler-utils missing"
fi
finish

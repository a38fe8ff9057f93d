#!/usr/bin/env bash
# cmake --install into a scratch prefix: every file in its place, and the installed programs find their
# language file there when started from elsewhere.
source "$(dirname "$0")/lib.sh" "$1"
BUILD=$(cd "$BIN/.." && pwd)
P="$WORK/prefix"
cmake --install "$BUILD" --prefix "$P" >/dev/null 2>"$WORK/install.err" || fail "install: $(cat "$WORK/install.err")"

for f in bin/velora-cli bin/velora-radio-sim share/velora/velora.lng share/velora/help/index.html \
         share/applications/velora.desktop share/metainfo/com.halcyon.velora.metainfo.xml \
         share/icons/hicolor/scalable/apps/velora.svg share/icons/hicolor/48x48/apps/velora.png \
         share/icons/hicolor/256x256/apps/velora.png share/man/man1/velora.1.gz share/man/man1/velora-cli.1.gz \
         share/man/man1/velora-radio-sim.1.gz share/doc/velora/copyright share/doc/velora/changelog.gz \
         share/velora/screenshots/main-window.png lib/udev/rules.d/60-velora-serial.rules; do
  [ -f "$P/$f" ] && pass "installed $f" || fail "missing $f"
done
[ -e "$P/bin/velora.lng" ] && fail "a data file in bin" || pass "bin holds only programs"

# Started from an empty folder with a PATH that leads nowhere near the build.
mkdir "$WORK/elsewhere" && cd "$WORK/elsewhere"
export PATH=/usr/bin:/bin HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/home/.config"
"$P/bin/velora-cli" new -o x.dat >/dev/null 2>err.txt && pass "velora-cli finds share/velora/velora.lng" \
  || fail "installed velora-cli: $(cat err.txt)"
progs=(velora-cli velora-radio-sim)
[ -x "$P/bin/velora" ] && progs+=(velora)
for prog in "${progs[@]}"; do
  expect_contains "$("$P/bin/$prog" --version)" "^$prog [0-9]" "$prog --version"
  expect_contains "$("$P/bin/$prog" --help)" "sage" "$prog --help"
done
if [ -x "$P/bin/velora" ]; then
  out=$(QT_QPA_PLATFORM=offscreen timeout 60 "$P/bin/velora" --startup-probe -nosplash 2>&1)
  expect_eq "$?" 0 "the installed velora starts with its language file: $out"
fi

# The desktop files, where the validators are installed.
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$P/share/applications/velora.desktop" >/dev/null && pass "desktop entry valid" \
    || fail "desktop entry: $(desktop-file-validate "$P/share/applications/velora.desktop")"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$P/share/metainfo/com.halcyon.velora.metainfo.xml" >"$WORK/as.txt" 2>&1 \
    && pass "metainfo valid" || fail "metainfo: $(cat "$WORK/as.txt")"
fi
if udevadm verify --help >/dev/null 2>&1; then
  udevadm verify "$P/lib/udev/rules.d/60-velora-serial.rules" >"$WORK/udev.txt" 2>&1 && pass "udev rules valid" \
    || fail "udev rules: $(cat "$WORK/udev.txt")"
fi
if command -v groff >/dev/null; then
  for m in "$P"/share/man/man1/*.1.gz; do
    w=$(zcat "$m" | groff -man -ww -z 2>&1)
    expect_eq "$w" "" "$(basename "$m") renders without warnings"
  done
fi
finish

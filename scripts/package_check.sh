#!/usr/bin/env bash
# Builds the Debian package and checks it as a user would meet it: scripts/package_check.sh [BUILD_DIR]
# lintian finds no errors, the package holds every file `cmake --install` puts in place, and the
# programs unpacked into a scratch root (dpkg -x, nothing installed on the system) start from there.
# Slow (a release build), so it stays outside ./test.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-deb}
scripts/package.sh "$dir" >/dev/null
deb=$(ls -t "$dir"/velora_*.deb | head -n1)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

command -v lintian >/dev/null || fail "lintian is not installed (apt-get install lintian)"
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian reports errors in $deb"
echo "ok: lintian accepts $(basename "$deb")"

dpkg -x "$deb" "$scratch/root"
DESTDIR="$scratch/installed" cmake --install "$dir" >/dev/null
(cd "$scratch/installed" && find . -type f | sort) >"$scratch/installed.txt"
(cd "$scratch/root" && find . -type f | sort) >"$scratch/packaged.txt"
missing=$(comm -23 "$scratch/installed.txt" "$scratch/packaged.txt")
[ -z "$missing" ] || fail "installed but not packaged: $missing"
echo "ok: the package carries the $(wc -l <"$scratch/installed.txt") installed files"

bin="$scratch/root/usr/bin"
out=$("$bin/velora-cli" --version) || fail "velora-cli --version"
[[ $out == "velora-cli "* ]] || fail "velora-cli --version said: $out"
echo "ok: $out"
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config" QT_QPA_PLATFORM=offscreen
out=$(cd "$scratch" && timeout 60 "$bin/velora" -nosplash --startup-probe 2>&1) || fail "velora --startup-probe: $out"
[[ $out == *startup-probe* ]] || fail "velora --startup-probe said: $out"
echo "ok: the unpacked velora starts ($out)"

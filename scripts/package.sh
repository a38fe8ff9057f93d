#!/usr/bin/env bash
# Builds the Debian package: scripts/package.sh [BUILD_DIR [cmake options...]]   (default build-deb)
# A release build installed under /usr; CPack reads the Qt libraries' package names from the
# programs (dpkg-shlibdeps, from dpkg-dev) and adds the fonts the printed report asks for.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build-deb}
shift || true
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DVELORA_BUILD_TESTS=OFF -DVELORA_BUILD_BENCH=OFF "$@"
cmake --build "$dir" -j "$(nproc)"
(cd "$dir" && cpack -G DEB)
ls "$dir"/*.deb

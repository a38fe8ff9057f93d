#!/usr/bin/env bash
# Configures (once) and builds one build tree: scripts/build.sh DIR [cmake options...]
set -euo pipefail
dir=${1:-build}
shift || true
cd "$(dirname "$0")/.."
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja "$@"
fi
cmake --build "$dir" -j "$(nproc)"

#!/usr/bin/env bash
# Times a clean build (no compiler cache) and a one-file change of this checkout.
# Usage: bench/build_time.sh [folder for the throwaway build]
# Run it on a quiet machine; figures depend on the cores and on other load.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-$(mktemp -d /tmp/kavri-buildtime.XXXXXX)}
export CCACHE_DISABLE=1
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
steps=$(ninja -C "$dir" -n | grep -c '^\[' || true)
start=$(date +%s.%N)
cmake --build "$dir" -j "$(nproc)" >/dev/null
clean=$(echo "$(date +%s.%N) - $start" | bc)
# One source file of the monitor library changes: what a developer waits for most often.
touch src/monitor/RequestCycle.cpp
start=$(date +%s.%N)
cmake --build "$dir" -j "$(nproc)" >/dev/null
one=$(echo "$(date +%s.%N) - $start" | bc)
printf 'cores %s, build steps %s\nclean build: %.0f s\none-file change (src/monitor/RequestCycle.cpp): %.1f s\n' \
  "$(nproc)" "$steps" "$clean" "$one"
[[ ${1:-} ]] || rm -rf "$dir"

#!/usr/bin/env bash
# The cost of reading the response-time statistics on a day file at the 8 MB cap:
# `kavri-display --stats 1` against a plain Python read of the same file (csv module,
# strptime; then datetime.fromisoformat), timed from outside with farm-bench (the
# medians of alternate runs), and the statistics window's longest stall (bench_stats).
# Usage: bench/stats_figures.sh [build folder] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-10}
cmake --build "$build" --target kavri-display bench_stats >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/bench_stats" --write "$work"
file=$(ls "$work"/stats/*.csv)
echo "day file: $(stat -c %s "$file") bytes"
for python in "bench/read_stats.py $file" "bench/read_stats.py --iso $file"; do
  echo "== kavri-display --stats 1 against python3 $python"
  KAVRI_APP_DIR=$work farm-bench -n "$runs" --vs "python3 $python" -- "$build/src/kavri-display" --stats 1 |
    grep -E 'wall s|A/B wall'
done
echo "== the statistics window"
QT_QPA_PLATFORM=offscreen "$build/bench/bench_stats" 3 2>/dev/null

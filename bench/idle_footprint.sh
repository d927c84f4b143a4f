#!/usr/bin/env bash
# The whole program idle between polls with a full 30-row board, under Xvfb:
# proportional memory (PSS, from /proc/<pid>/smaps_rollup) and CPU time over a
# quiet minute. Prints figures; asserts nothing.
#   bench/idle_footprint.sh [build folder] [seconds to measure, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
seconds=${2:-60}
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

port=$((20000 + RANDOM % 20000))
"$build/tools/simulator/kavri-sim" --demo --http-port "$port" --https-port "$((port + 1))" >"$work/sim.out" 2>&1 &
pids+=($!)
for _ in $(seq 1 100); do grep -q '^READY ' "$work/sim.out" && break; sleep 0.1; done
# 30 open requests beside the demo's own, with long Korean texts.
for i in $(seq 1 30); do
  wget -qO- --post-data "text=테이블 $i 에서 보낸 아주 긴 요청사항입니다 물 좀 더 주시고 앞접시도 부탁드려요" \
    "http://127.0.0.1:$port/qr/demo/A1" >/dev/null
done

app=$work/app
mkdir -p "$app/config/kavri-display"
cp -r "$build/src/skin" "$build/src/sound" "$app/" 2>/dev/null || true
printf '[Service]\nSecureBase=http://127.0.0.1:%s\nPlainBase=http://127.0.0.1:%s\n' "$port" "$port" >"$app/Deploy.ini"
printf '[Set]\r\nDisplayIDX=2\r\nResolutionIDX=1\r\n' >"$app/Zarazo.cfg"
printf '[Login]\nA=True◈True◈demo◈1234\n' >"$app/config/kavri-display/fsVadn.ini"

display_no=$((100 + RANDOM % 100))
Xvfb ":$display_no" -screen 0 1366x900x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
sleep 1
DISPLAY=":$display_no" KAVRI_APP_DIR="$app" XDG_CONFIG_HOME="$app/config" KAVRI_AUDIO_TRACE="$work/trace" \
  "$build/src/kavri-display" >"$work/app.out" 2>&1 &
app_pid=$!
pids+=("$app_pid")

# Let the login, the first polls, the alert and the speech pass.
sleep 30
# Time on a CPU in nanoseconds, all threads of the process.
cpu() { cat /proc/"$app_pid"/task/*/schedstat | awk '{ns += $1} END {printf "%d\n", ns}'; }
pss() { awk '/^Pss:/ {print $2}' "/proc/$app_pid/smaps_rollup"; }
polls() { cat "$app"/*_WinHttp_Req_*.log 2>/dev/null | iconv -f CP949 -t UTF-8 | grep -c 'Load_Kavri() ... \(ResponseStr: 직전과\|http\)' || true; }
before=$(cpu)
polls_before=$(polls)
max_pss=0
for _ in $(seq 1 "$seconds"); do
  p=$(pss)
  [ "$p" -gt "$max_pss" ] && max_pss=$p
  sleep 1
done
after=$(cpu)
polls_after=$(polls)
rows=$(grep -c '' "$work/trace" 2>/dev/null || echo 0)
echo "idle with a 30-row board at 1366 pixels, measured over $seconds s:"
echo "  PSS (peak of samples): $((max_pss / 1024)) MB ($max_pss kB)"
awk -v d="$((after - before))" -v s="$seconds" \
  'BEGIN { printf "  CPU: %.3f %% of one core (%.1f ms on a CPU)\n", 100 * d / 1e9 / s, d / 1e6 }'
echo "  polls during the measurement: $((polls_after - polls_before)); audio trace lines in all: $rows"

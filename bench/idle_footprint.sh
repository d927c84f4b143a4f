#!/usr/bin/env bash
# The whole program idle between polls with a full 30-row board, under Xvfb,
# beside a bare Qt window (build/bench/bench_bare_window) and one that shows 30
# lines of Korean text in the board's font, on the same display: resident,
# unique and proportional memory (RSS, USS = private pages, PSS, from
# /proc/<pid>/smaps_rollup) of all three and their CPU time over a quiet minute.
# Prints figures; asserts nothing.
#   bench/idle_footprint.sh [build folder] [seconds to measure, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
# The yardstick window is built only when asked for.
cmake --build "$build" --target bench_bare_window >/dev/null
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
DISPLAY=":$display_no" "$build/bench/bench_bare_window" 1366 768 >"$work/bare.out" 2>&1 &
bare_pid=$!
pids+=("$bare_pid")
DISPLAY=":$display_no" "$build/bench/bench_bare_window" 1366 768 --korean >"$work/text.out" 2>&1 &
text_pid=$!
pids+=("$text_pid")

# Let the login, the first polls, the alert and the speech pass.
sleep 30
# Time on a CPU in nanoseconds, all threads of process $1.
cpu() { cat /proc/"$1"/task/*/schedstat | awk '{ns += $1} END {printf "%d\n", ns}'; }
# "rss uss pss" in kB of process $1.
mem() {
  awk '/^Rss:/ {r = $2} /^Pss:/ {p = $2} /^Private_(Clean|Dirty):/ {u += $2} END {print r, u, p}' \
    "/proc/$1/smaps_rollup"
}
polls() { cat "$app"/*_WinHttp_Req_*.log 2>/dev/null | iconv -f CP949 -t UTF-8 | grep -c 'Load_Kavri() ... \(ResponseStr: 직전과\|http\)' || true; }
before=$(cpu "$app_pid")
bare_before=$(cpu "$bare_pid")
polls_before=$(polls)
# Peaks of the samples, per process: rss uss pss.
peak_app=(0 0 0)
peak_bare=(0 0 0)
peak_text=(0 0 0)
for _ in $(seq 1 "$seconds"); do
  read -r -a m < <(mem "$app_pid")
  for i in 0 1 2; do [ "${m[$i]}" -gt "${peak_app[$i]}" ] && peak_app[$i]=${m[$i]}; done
  read -r -a m < <(mem "$bare_pid")
  for i in 0 1 2; do [ "${m[$i]}" -gt "${peak_bare[$i]}" ] && peak_bare[$i]=${m[$i]}; done
  read -r -a m < <(mem "$text_pid")
  for i in 0 1 2; do [ "${m[$i]}" -gt "${peak_text[$i]}" ] && peak_text[$i]=${m[$i]}; done
  sleep 1
done
after=$(cpu "$app_pid")
bare_after=$(cpu "$bare_pid")
polls_after=$(polls)
rows=$(grep -c '' "$work/trace" 2>/dev/null || echo 0)
children=$( (pgrep -P "$app_pid" || true) | wc -l)
echo "idle with a 30-row board at 1366 pixels, beside a bare Qt window, measured over $seconds s:"
echo "  (peaks of per-second samples; PSS shares the Qt pages both processes map between them)"
printf '  %-22s %9s %9s %9s\n' "" "RSS" "USS" "PSS"
printf '  %-22s %6d MB %6d MB %6d MB\n' "the board" $((peak_app[0] / 1024)) $((peak_app[1] / 1024)) $((peak_app[2] / 1024))
printf '  %-22s %6d MB %6d MB %6d MB\n' "bare Qt window" $((peak_bare[0] / 1024)) $((peak_bare[1] / 1024)) $((peak_bare[2] / 1024))
printf '  %-22s %6d MB %6d MB %6d MB\n' "window of Korean text" $((peak_text[0] / 1024)) $((peak_text[1] / 1024)) $((peak_text[2] / 1024))
awk -v a="${peak_app[0]}" -v b="${peak_bare[0]}" -v ua="${peak_app[1]}" -v ub="${peak_bare[1]}" \
  'BEGIN { printf "  board / bare: RSS %.2f, USS %.2f\n", a / b, ua / ub }'
awk -v a="${peak_app[0]}" -v b="${peak_text[0]}" -v ua="${peak_app[1]}" -v ub="${peak_text[1]}" \
  'BEGIN { printf "  board / Korean text window: RSS %.2f, USS %.2f\n", a / b, ua / ub }'
awk -v d="$((after - before))" -v bd="$((bare_after - bare_before))" -v s="$seconds" \
  'BEGIN { printf "  CPU: %.3f %% of one core (%.1f ms on a CPU); bare window %.3f %%\n", 100 * d / 1e9 / s, d / 1e6, 100 * bd / 1e9 / s }'
echo "  polls during the measurement: $((polls_after - polls_before)); audio trace lines in all: $rows; helpers left running: $children"

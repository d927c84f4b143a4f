#!/usr/bin/env bash
# Prints the Debian package's size, its installed size, and the time from the start
# of the unpacked program (fresh home folder, offscreen) to its login window, taken
# from the log's own time stamp of the window's first activation.
# Usage: bench/package_figures.sh [build folder] [starts]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
starts=${2:-5}
deb=$(scripts/package "$build")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg -x "$deb" "$work/root"
echo "package: $(basename "$deb")"
echo "package size: $(stat -c %s "$deb") bytes"
echo "installed size: $(dpkg-deb -f "$deb" Installed-Size) KiB"

times=()
for n in $(seq 1 "$starts"); do
  home=$work/home$n
  mkdir -p "$home"
  started=$(date +%s%3N)
  env -i PATH=/usr/bin:/bin HOME="$home" LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen \
    "$work/root/usr/bin/kavri-display" >/dev/null 2>&1 &
  pid=$!
  line=""
  for _ in $(seq 1 600); do
    line=$(iconv -f CP949 -t UTF-8 "$home"/.local/share/kavri-display/??????.log 2>/dev/null |
      grep 'frmLogin→Form_Activate\] Enter' | head -n1 || true)
    [ -n "$line" ] && break
    sleep 0.05
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  if [ -z "$line" ]; then
    echo "start $n: no login window within a minute" >&2
    exit 1
  fi
  # [yyMMdd-hhmmss.zzz] of the log line, as milliseconds since the epoch.
  stamp=$(printf '%s\n' "$line" | sed -n 's/^\[\([0-9]\{6\}\)-\([0-9]\{2\}\)\([0-9]\{2\}\)\([0-9]\{2\}\)\.\([0-9]\{3\}\)\].*/20\1 \2:\3:\4.\5/p')
  reached=$(date -d "$stamp" +%s%3N)
  times+=($((reached - started)))
  echo "start $n: login window after $((reached - started)) ms"
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((${#times[@]} + 1) / 2))p")
echo "median: $median ms"

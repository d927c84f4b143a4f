#!/usr/bin/env bash
# Builds the Debian package and checks it as a shop's PC would get it: the file
# list, the dependency field, lintian, and a start of the unpacked program with a
# fresh home folder that must reach the login window.
# Usage: check_package.sh <source folder> <build folder>
set -uo pipefail
src=$1
build=$2
work=$(mktemp -d)
app_pid=""
cleanup() {
  if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null; wait "$app_pid" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

deb=$("$src/scripts/package" "$build") || { echo "FAIL: scripts/package did not build the package"; exit 1; }
echo "package: $deb ($(stat -c %s "$deb") bytes)"
version=$(dpkg-deb -f "$deb" Version)
[ "$(basename "$deb")" = "kavri-display_${version}_amd64.deb" ] || fail "file name $(basename "$deb") for version $version"
[ "$(dpkg-deb -f "$deb" Package)" = kavri-display ] || fail "package name"

# Reproducible: a second run on the same sources gives the same bytes.
cp "$deb" "$work/first.deb"
again=$("$src/scripts/package" "$build") || fail "scripts/package failed the second time"
cmp -s "$work/first.deb" "$again" && echo "a second run gave the same bytes" ||
  fail "a second run of scripts/package gave other bytes"

# Every file of the package, nothing more; all owned by root.
dpkg-deb -c "$deb" >"$work/contents"
awk '$2 != "root/root" { print "not root/root: " $0 }' "$work/contents" | grep . && fail "file owners"
awk '$1 !~ /^d/ { print $6 }' "$work/contents" | sort >"$work/files"
{
  for f in kavri-display kavri-play kavri-speak kavri-display.installed DDD.wav sound/DDD.wav \
    skin/0001.gif skin/0106.gif skin/0601.gif skin/0602.gif skin/0603.gif skin/0604.gif; do
    echo "./usr/lib/kavri-display/$f"
  done
  echo ./usr/bin/kavri-display
  echo ./usr/share/applications/kavri-display.desktop
  for s in 16 22 24 32 48 64 128 256; do echo "./usr/share/icons/hicolor/${s}x${s}/apps/kavri-display.png"; done
  echo ./usr/share/man/man1/kavri-display.1.gz
  echo ./usr/share/doc/kavri-display/copyright
  echo ./usr/share/doc/kavri-display/changelog.gz
} | sort >"$work/expected"
diff -u "$work/expected" "$work/files" || fail "file list differs (- expected, + in the package)"
grep -q '^l.* ./usr/bin/kavri-display -> ../lib/kavri-display/kavri-display$' "$work/contents" ||
  fail "/usr/bin/kavri-display is not a link to the program"
for helper in kavri-play kavri-speak; do
  grep -q "^-rwxr-xr-x .* ./usr/lib/kavri-display/$helper\$" "$work/contents" || fail "$helper is not executable"
done

# Linked libraries (from dpkg-shlibdeps) and what is loaded at run time; nothing from -dev.
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for p in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6serialport6 libqt6multimedia6 \
  libqt6texttospeech6 libqt6charts6 libmariadb3 qt6-speech-speechd-plugin speech-dispatcher speech-dispatcher-espeak-ng \
  fonts-nanum fonts-noto-color-emoji wget; do
  printf '%s\n' "$depends" | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qx "$p" || fail "Depends lacks $p"
done
printf '%s\n' "$depends" | grep -q -- '-dev\b' && fail "Depends names a -dev package"

# lintian: errors fail, warnings are listed.
if command -v lintian >/dev/null 2>&1; then
  lintian --allow-root --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1
  sed 's/^/lintian: /' "$work/lintian"
  grep -q '^E: ' "$work/lintian" && fail "lintian reports errors"
else
  fail "lintian is not installed (scripts/setup)"
fi

# The unpacked program, started as a new user on a shop's PC would start it.
root=$work/root
home=$work/home
mkdir -p "$home"
dpkg -x "$deb" "$root" || fail "dpkg -x"
before=$(cd "$root" && find . | sort)

# The program's own version text and the package's version come from one place.
program_version=$("$root/usr/lib/kavri-display/kavri-display" --version)
[ "$program_version" = "kavri-display $version #22" ] || fail "--version says '$program_version', the package $version"

# Built with Debian's hardening flags and stripped as Debian strips (each readelf
# read whole first: grep -q leaving early would fail the pipe).
for program in kavri-display kavri-play kavri-speak; do
  file=$root/usr/lib/kavri-display/$program
  dynamic=$(readelf -d "$file")
  headers=$(readelf -lW "$file")
  symbols=$(readelf --dyn-syms -W "$file")
  sections=$(readelf -SW "$file")
  grep -q 'BIND_NOW' <<<"$dynamic" || fail "$program is not linked with -z now (bindnow)"
  grep -q 'GNU_RELRO' <<<"$headers" || fail "$program has no read-only relocations (relro)"
  grep -q '__stack_chk_fail' <<<"$symbols" || fail "$program has no stack protector"
  grep -q ' \.comment ' <<<"$sections" && fail "$program keeps its .comment section"
  grep -q ' \.debug_' <<<"$sections" && fail "$program keeps debug sections"
done
grep -q '__[a-z]*_chk@' <<<"$(readelf --dyn-syms -W "$root/usr/lib/kavri-display/kavri-display")" ||
  fail "kavri-display calls no fortified function (_FORTIFY_SOURCE)"
appdir=$home/.local/share/kavri-display
env -i PATH=/usr/bin:/bin HOME="$home" LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen \
  "$root/usr/bin/kavri-display" >"$work/out" 2>&1 &
app_pid=$!
reached=0
# A hang guard, not a measure: the login window comes up within seconds.
for _ in $(seq 1 600); do
  if ls "$appdir"/??????.log >/dev/null 2>&1 &&
    iconv -f CP949 -t UTF-8 "$appdir"/??????.log 2>/dev/null | grep -q 'frmLogin→Form_Activate\] Enter'; then
    reached=1
    break
  fi
  kill -0 "$app_pid" 2>/dev/null || break
  sleep 0.1
done
if [ "$reached" = 1 ]; then
  echo "the unpacked program reached the login window"
else
  fail "the unpacked program did not reach the login window"
  cat "$work/out"
fi
log=$(iconv -f CP949 -t UTF-8 "$appdir"/??????.log 2>/dev/null)
printf '%s\n' "$log" | sed 's/^/log: /'
printf '%s\n' "$log" | grep -q "프로그램 폴더: $appdir (설치된 프로그램, 사용자별 폴더)" || fail "the log does not name the per-user folder"
for f in skin/0001.gif skin/0106.gif skin/0601.gif skin/0602.gif skin/0603.gif skin/0604.gif sound/DDD.wav DDD.wav; do
  [ -f "$appdir/$f" ] && [ -r "$appdir/$f" ] || fail "the per-user folder lacks $f"
  cmp -s "$appdir/$f" "$root/usr/lib/kavri-display/$f" || fail "$f in the per-user folder is not the installed one"
done
[ "$(stat -c %a "$appdir")" = 700 ] || fail "the per-user folder is not private ($(stat -c %a "$appdir"))"
kill "$app_pid" 2>/dev/null
wait "$app_pid" 2>/dev/null
app_pid=""
after=$(cd "$root" && find . | sort)
[ "$before" = "$after" ] || { fail "the program wrote into the installed files"; diff <(echo "$before") <(echo "$after"); }

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all package checks passed"

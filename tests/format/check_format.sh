#!/usr/bin/env bash
# Checks that every tracked C++ file is laid out as .clang-format says, and
# names the files that drift (clang-format -i <file> puts one right).
# Usage: check_format.sh <source folder>
set -uo pipefail
cd "$1" || exit 1
if ! command -v clang-format >/dev/null 2>&1; then
  echo "FAIL: clang-format is not installed (scripts/setup installs it)"
  exit 1
fi
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
  mapfile -t files < <(find src tests tools bench -name '*.cpp' -o -name '*.h' | sort)
fi
drift=()
for f in "${files[@]}"; do
  clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || drift+=("$f")
done
if [ ${#drift[@]} -gt 0 ]; then
  echo "FAIL: ${#drift[@]} of ${#files[@]} files are not formatted:"
  printf '  %s\n' "${drift[@]}"
  exit 1
fi
echo "ok: ${#files[@]} files formatted"

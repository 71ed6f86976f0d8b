#!/usr/bin/env bash
# Checks that every C++ file of the tree follows .clang-format; prints the files
# that do not and how to fix them. FIX=1 formats them in place instead.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || {
  echo "check-format: clang-format is missing (apt-get install clang-format)" >&2
  exit 1
}
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${FIX:-0}" = 1 ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
bad=()
for f in "${files[@]}"; do
  clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done
if [ ${#bad[@]} -gt 0 ]; then
  printf 'check-format: not formatted: %s\n' "${bad[@]}" >&2
  echo "check-format: run FIX=1 bash tools/check-format.sh" >&2
  exit 1
fi
echo "check-format: ${#files[@]} files follow .clang-format"

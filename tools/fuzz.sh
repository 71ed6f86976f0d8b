#!/usr/bin/env bash
# Builds the libFuzzer targets (the sanitizer tree build-asan/) and runs each one for
# FUZZ_SECONDS (default 30) on a copy of its seed corpus in fuzz/corpus/<target>.
# Fails on the first crash, leak or broken invariant; the input that found it is
# kept as build-asan/artifacts/<target>/crash-* (rerun: build-asan/fuzz/<target> FILE).
# A long run: FUZZ_SECONDS=3600 bash tools/fuzz.sh
# FUZZ_TARGETS="fuzz_link fuzz_replies" runs only those targets (two shells, one core each).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh
seconds="${FUZZ_SECONDS:-30}"
read -r -a targets <<<"${FUZZ_TARGETS:-fuzz_picture_record fuzz_replies fuzz_length_reply fuzz_link fuzz_window}"

# Two shells may start at once: one builds, the other waits for it.
flock .build-asan.lock bash tools/build-sanitized.sh

export QT_QPA_PLATFORM=offscreen
# A small quarantine keeps a long run's memory flat; the default one grows to gigabytes.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:quarantine_size_mb=64"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Leaks inside the system's font and graphics libraries are theirs, not ours.
export LSAN_OPTIONS="suppressions=$PWD/tools/lsan-third-party.supp:print_suppressions=0"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
for target in "${targets[@]}"; do
  corpus="$work/$target"
  artifacts="build-asan/artifacts/$target"
  mkdir -p "$corpus" "$artifacts"
  cp -r "fuzz/corpus/$target/." "$corpus/"
  echo "== $target: ${seconds} s"
  "build-asan/fuzz/$target" "$corpus" -max_total_time="$seconds" -timeout=60 \
    -rss_limit_mb=4096 -print_final_stats=1 -artifact_prefix="$artifacts/" 2>"$work/$target.log" \
    || { tail -n 60 "$work/$target.log"; echo "$target: FAILED" >&2; exit 1; }
  grep -E "^(Done|stat::number_of_executed_units|stat::peak_rss_mb)" "$work/$target.log" || true
done

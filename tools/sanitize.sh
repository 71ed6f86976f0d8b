#!/usr/bin/env bash
# Every test again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh
bash tools/build-sanitized.sh
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:verify_asan_link_order=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# Leaks inside the system's font and graphics libraries are theirs, not ours.
export LSAN_OPTIONS="suppressions=$PWD/tools/lsan-third-party.supp:print_suppressions=0"
ctest --test-dir build-asan --output-on-failure -j"$(nproc)"

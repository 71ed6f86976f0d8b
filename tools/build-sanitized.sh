#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/, with clang and libFuzzer's coverage, so the same tree holds the
# tests and the fuzz targets. Up to date after the first run.
set -euo pipefail
cd "$(dirname "$0")/.."
export CXX=clang++
# A tree first configured with another compiler cannot take the fuzzer flags: start it afresh.
if [[ -f build-asan/CMakeCache.txt ]] && ! grep -q "^CMAKE_CXX_COMPILER:FILEPATH=.*clang" build-asan/CMakeCache.txt; then
  rm -rf build-asan
fi
BUILD_DIR=build-asan BUILD_TYPE=Debug bash tools/build.sh \
  "-DQ815_SANITIZE=address;undefined" -DQ815_FUZZ=ON "-DCMAKE_CXX_FLAGS_DEBUG=-g -O1"

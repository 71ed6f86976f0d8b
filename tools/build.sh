#!/usr/bin/env bash
# Configures and builds into build/ (or the folder given as $BUILD_DIR).
# Arguments go to the configure step; TARGET=name builds that target only, TARGET="a b"
# those targets (default: everything, tests included).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build}"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "${launcher[@]}" "$@" >/dev/null
read -r -a targets <<<"${TARGET:-}"
cmake --build "$build" -j"$(nproc)" ${targets[@]:+--target "${targets[@]}"}

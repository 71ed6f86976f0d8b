#!/usr/bin/env bash
# Sets up, builds the program (not the tests) and starts it on the built-in virtual board.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh
TARGET=q815evm bash tools/build.sh
exec "${BUILD_DIR:-build}/src/q815evm" --simulate "$@"

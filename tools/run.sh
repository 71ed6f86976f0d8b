#!/usr/bin/env bash
# Sets up, builds and starts the tool on the built-in virtual board.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh
bash tools/build.sh
exec build/src/q815evm --simulate "$@"

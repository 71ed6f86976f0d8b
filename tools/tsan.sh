#!/usr/bin/env bash
# Builds the tests whose code runs on more than one thread with
# ThreadSanitizer into build-tsan/ and runs them: the libusb backend's event
# thread (under the link, and under q815ctl with two boards), and the Disk
# page's workers (drive list, folder listing, picture decoding). ctest points ThreadSanitizer at tools/tsan.supp, which only silences
# libraries that are not built with it; a report from our own code fails the
# test (ThreadSanitizer's exit status).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQ815_SANITIZE=thread "${launcher[@]}" >/dev/null
cmake --build build-tsan -j"$(nproc)" --target test_usb_contract_libusb test_usb_backends_libusb test_command_exchange_libusb test_board_discovery_libusb \
  test_ctl_libusb test_disk_navigation
ctest --test-dir build-tsan --output-on-failure -j"$(nproc)" -R '_libusb$|^test_disk_navigation$'

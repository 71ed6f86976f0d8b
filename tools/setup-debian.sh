#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, and those
# named as arguments, if any is missing. Uses sudo when not run as root.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config ccache
  qt6-base-dev libgl-dev libusb-1.0-0-dev
  umockdev libumockdev-dev
  libjpeg-turbo-progs libjpeg62-turbo-dev
  fontconfig fonts-dejavu-core fonts-liberation2
  xvfb xauth xdotool x11-utils
  clang libclang-rt-dev
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Builds the two programs for release into build-release/ (or $BUILD_DIR) with
# Debian's compiler and linker flags, and makes the Debian package
# q815evm_<version>_<arch>.deb there with "cpack -G DEB". Prints the package's path.
# BUILD_DIR=build reuses the normal build tree (its RelWithDebInfo objects; the
# programs are stripped in the package either way).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build-release}"
# cpack finds the dependencies with dpkg-shlibdeps (dpkg-dev) and file.
bash tools/setup-debian.sh dpkg-dev file
# Dates in the package (changelog, AppStream release) are the last commit's.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || date +%s)
export SOURCE_DATE_EPOCH
# Hardening as Debian builds its packages: stack protector, fortified functions, relro, now.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
export CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
export LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
# Flags come into a build tree when it is first configured: a reused tree keeps its own.
# cpack installs without building the rest (tests, benchmarks) first.
BUILD_DIR="$build" BUILD_TYPE="${BUILD_TYPE:-Release}" TARGET="q815evm q815ctl q815_compressed_docs" \
  bash tools/build.sh -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
rm -f "$build"/q815evm_*.deb
(cd "$build" && cpack -G DEB >cpack.log) || { cat "$build/cpack.log" >&2; exit 1; }
ls "$PWD/$build"/q815evm_*.deb

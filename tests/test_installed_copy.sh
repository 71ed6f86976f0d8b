#!/usr/bin/env bash
# An installed copy keeps its pictures in the per-user data folder even when its
# bin/ is writable; the build tree's program keeps them beside itself. Each is
# driven as a user drives it: on Xvfb, a click on "Get Pic SPI" on the virtual board.
# Arguments: the build folder and the build tree's program. Runs under on-xvfb.sh.
set -euo pipefail
build=$1 program=$2
tmp=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "FAIL: $*"; cat "$tmp"/*.log; exit 1; }
# poll SECONDS COMMAND...: succeeds as soon as COMMAND does, fails after SECONDS.
poll() {
  local end=$((SECONDS + $1 + 1))
  shift
  until "$@"; do
    ((SECONDS < end)) || return 1
    sleep 0.1
  done
}

export HOME="$tmp/home" XDG_DATA_HOME="$tmp/data"

# "Get Pic SPI" in window pixels: the page frame sits at (120, 360) twips, the
# button at (240, 840) in it, 1455 x 375 twips; 15 twips to a pixel.
x=$(((120 + 240 + 1455 / 2) / 15)) y=$(((360 + 840 + 375 / 2) / 15))
window=
found_window() {
  window=$(xdotool search --onlyvisible --name '^Q815EVM Full V1\.27' 2>/dev/null | head -n1)
  [ -n "$window" ]
}
# Written since the program was started.
fresh_picture() { [ -s "$1" ] && [ "$1" -nt "$tmp/stamp" ]; }

# A click while the start-up exchange runs is dropped, as any input then: click again.
click_and_wait() {
  xdotool mousemove --window "$window" $x $y click 1
  poll 1 fresh_picture "$1"
}

# get_picture PROGRAM FILE: starts PROGRAM, clicks "Get Pic SPI", waits for FILE;
# all without a word on standard error, also where XDG_RUNTIME_DIR is not set.
get_picture() {
  touch "$tmp/stamp"
  env -u XDG_RUNTIME_DIR "$1" --simulate >"$tmp/app.log" 2>"$tmp/err.log" &
  local app=$!
  pids+=("$app")
  poll 60 found_window || fail "no window of $1"
  poll 60 click_and_wait "$2" || fail "no new $2"
  kill $app
  wait $app || true
  [ ! -s "$tmp/err.log" ] || fail "$1 wrote on standard error"
}

prefix="$tmp/prefix"
cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" || fail "install"
get_picture "$prefix/bin/q815evm" "$tmp/data/q815evm/downloaded.jpg"
[ "$(ls -A "$prefix/bin" | tr '\n' ' ')" = "q815ctl q815evm " ] || fail "the installed copy wrote into bin/: $(ls -A "$prefix/bin")"

get_picture "$program" "$(dirname "$program")/downloaded.jpg"
echo "installed copy: data folder; build tree: beside the program"

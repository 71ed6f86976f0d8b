#!/usr/bin/env bash
# Runs a command on an X server of its own: Xvfb picks a free display number
# itself (-displayfd), so several of these can start side by side. -noreset: a
# program that starts right after another has quit finds the server up, not
# in the middle of the reset that follows its last client.
set -euo pipefail
dir=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$dir/display" 2>"$dir/log" &
server=$!
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null; rm -rf "$dir"' EXIT
for _ in $(seq 200); do
  [ -s "$dir/display" ] && break
  kill -0 "$server" 2>/dev/null || { cat "$dir/log" >&2; exit 1; }
  sleep 0.05
done
[ -s "$dir/display" ] || { echo "on-xvfb: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$dir/display")"
export QT_QPA_PLATFORM=xcb
"$@"

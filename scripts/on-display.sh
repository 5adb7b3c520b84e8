#!/usr/bin/env bash
# Runs a command on a virtual display of its own (Xvfb), started for it
# and stopped afterwards; only that server is stopped.
#   scripts/on-display.sh COMMAND [ARGS...]
set -uo pipefail
number=$((100 + $$ % 800))
while [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
Xvfb ":$number" -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
server=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$number" ] && break; sleep 0.1; done
DISPLAY=":$number" "$@"
status=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
exit $status

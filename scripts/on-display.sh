#!/usr/bin/env bash
# Runs a command on a virtual display of its own (Xvfb), started for it
# and stopped afterwards; only that server is stopped.
#   scripts/on-display.sh COMMAND [ARGS...]
set -uo pipefail
# The server picks a free display number itself and writes it to us, so
# that runs side by side never take the same one.
numbers=$(mktemp)
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$numbers" >/dev/null 2>&1 &
server=$!
for _ in $(seq 100); do [ -s "$numbers" ] && break; sleep 0.1; done
number=$(head -1 "$numbers")
rm -f "$numbers"
DISPLAY=":$number" "$@"
status=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
exit $status

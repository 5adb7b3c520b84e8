#!/usr/bin/env bash
# Runs every fuzzer for the given number of seconds, two at a time, each
# from a seed corpus of our own small sample files (the plug-in's, made by
# mksamples, and those under fuzz/seeds). Fails on any finding.
set -euo pipefail
seconds=${1:-15}
root=build/fuzz
mkdir -p "$root/seeds" "$root/findings"
build/release/mksamples --small "$root/seeds" >/dev/null

run_one() {
  local fuzzer=$1 seconds=$2 root=$3
  local name=${fuzzer##*/fuzz_}
  local corpus=$root/corpus/$name
  mkdir -p "$corpus"
  if [ "$name" = plugin ]; then cp -n "$root"/seeds/* "$corpus"/ 2>/dev/null || true
  else cp -n "$root"/seeds/"$name"-* "$corpus"/ 2>/dev/null || true; fi
  # Fuzzers of the viewer keep their seeds in the repository.
  cp -n fuzz/seeds/"$name"/* "$corpus"/ 2>/dev/null || true
  if "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=16384 \
       -artifact_prefix="$root/findings/$name-" -print_final_stats=0 "$corpus" >"$root/$name.log" 2>&1; then
    echo "fuzz $name: $(grep -Eo 'Done [0-9]+ runs' "$root/$name.log" | tail -1), no finding"
  else
    echo "fuzz $name: FINDING, see $root/$name.log"; tail -30 "$root/$name.log"; return 1
  fi
}
export -f run_one
ls "$root"/fuzz/fuzz_* | xargs -P 2 -I{} bash -c 'run_one "$@"' _ {} "$seconds" "$root"

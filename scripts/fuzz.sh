#!/usr/bin/env bash
# Runs every fuzzer for the given number of seconds, two at a time, each
# from a seed corpus of our own small sample files (the plug-in's, made by
# mksamples, and those under fuzz/seeds). Fails on any finding.
#   scripts/fuzz.sh SECONDS [BITS]
# The 32-bit fuzzers (through the i386 emulator where the machine cannot run
# 32-bit code) also start from the limit sweep's cases of neighbouring
# header fields at their largest values, and take inputs up to 64 KiB.
set -euo pipefail
seconds=${1:-15}
bits=${2:-64}
if [ "$bits" = 32 ]; then
  root=build/fuzz32 max_len=65536
  # LeakSanitizer cannot stop the world under the emulator and would hang
  # at exit; a small quarantine keeps the allocator inside its address space.
  export ASAN_OPTIONS=detect_leaks=0:quarantine_size_mb=0:thread_local_quarantine_size_kb=0
else
  root=build/fuzz max_len=16384
fi
mkdir -p "$root/seeds" "$root/findings"
build/release/mksamples --small "$root/seeds" >/dev/null
if [ "$bits" = 32 ] && [ ! -d "$root/limits" ]; then
  mkdir -p "$root/limits"
  build/native/tests/limit_sweep --write "$root/limits" >/dev/null 2>&1
fi

run_one() {
  local fuzzer=$1 seconds=$2 root=$3 max_len=$4 bits=$5
  local name=${fuzzer##*/fuzz_}
  local corpus=$root/corpus/$name
  mkdir -p "$corpus"
  if [ "$name" = plugin ]; then cp -n "$root"/seeds/* "$corpus"/ 2>/dev/null || true
  else cp -n "$root"/seeds/"$name"-* "$corpus"/ 2>/dev/null || true; fi
  # Fuzzers of the viewer keep their seeds in the repository.
  cp -n fuzz/seeds/"$name"/* "$corpus"/ 2>/dev/null || true
  if [ -d "$root/limits" ] && [ "$name" != plugin ]; then
    cp -n "$root"/limits/"$name"-*x2=* "$corpus"/ 2>/dev/null || true
  fi
  local log=$root/$name.log
  if "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" \
       -artifact_prefix="$root/findings/$name-" -print_final_stats=1 "$corpus" >"$log" 2>&1; then
    local runs rate
    runs=$(grep -Eo 'number_of_executed_units: *[0-9]+' "$log" | grep -Eo '[0-9]+$' | tail -1)
    rate=$(grep -Eo 'average_exec_per_sec: *[0-9]+' "$log" | grep -Eo '[0-9]+$' | tail -1)
    echo "fuzz $name: $runs runs, $rate per second, no finding"
  elif [ "$bits" = 32 ] && replays_clean "$fuzzer" "$log"; then
    echo "fuzz $name: stopped by a fault that does not replay: $(grep -m1 '^SUMMARY\|CHECK failed' "$log")"
  else
    echo "fuzz $name: FINDING, see $log"; tail -30 "$log"; return 1
  fi
}

# Under the i386 emulator a long 32-bit run now and then stops on a fault
# of the emulation itself: AddressSanitizer's own address check in malloc
# after a large block was mapped where it keeps no shadow, or a floating-
# point trap inside libFuzzer's mutator. Our decoders keep no state from
# one input to the next, so a fault of theirs fails again when the saved
# input is run alone; one that does not is reported, not counted.
replays_clean() {
  local fuzzer=$1 log=$2 input
  input=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -1)
  [ -n "$input" ] && "$fuzzer" "$input" >>"$log" 2>&1
}
export -f replays_clean
export -f run_one
echo "fuzzing the $bits-bit build for $seconds s per target"
ls "$root"/fuzz/fuzz_* | xargs -P 2 -I{} bash -c 'run_one "$@"' _ {} "$seconds" "$root" "$max_len" "$bits"

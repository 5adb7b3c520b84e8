#!/usr/bin/env bash
# Runs every fuzzer, two at a time, each from a seed corpus of our own: the
# small sample files of the plug-in (mksamples), the seeds kept under
# fuzz/seeds and, for the 32-bit build, the limit sweep's cases of
# neighbouring header fields at their largest values. Fails on any finding.
#
#   scripts/fuzz.sh [--bits 32] --seconds S         each fuzzer for S seconds (the smoke run)
#   scripts/fuzz.sh [--bits 32] --runs N --keep     each fuzzer for N inputs (the campaign), its
#                                                   grown corpus then kept, minimised, as its seeds
#
# One line per fuzzer: inputs run, inputs per second, corpus size, findings.
# The 32-bit fuzzers run through the i386 emulator where the machine cannot
# run 32-bit code, and take inputs up to 64 KiB.
set -euo pipefail
bits=64 limit="-max_total_time=15" keep=
while [ $# -gt 0 ]; do
  case $1 in
    --bits) bits=$2; shift 2 ;;
    --seconds) limit="-max_total_time=$2"; shift 2 ;;
    # A campaign still ends after an hour per fuzzer, whatever it has run.
    --runs) limit="-runs=$2 -max_total_time=3600"; shift 2 ;;
    --keep) keep=1; shift ;;
    *) echo "usage: scripts/fuzz.sh [--bits 32] (--seconds S | --runs N [--keep])" >&2; exit 2 ;;
  esac
done
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
  local fuzzer=$1 limit=$2 root=$3 max_len=$4 bits=$5 keep=$6
  local name=${fuzzer##*/fuzz_}
  local corpus=$root/corpus/$name
  mkdir -p "$corpus"
  if [ "$name" = plugin ]; then cp -n "$root"/seeds/* "$corpus"/ 2>/dev/null || true
  else cp -n "$root"/seeds/"$name"-* "$corpus"/ 2>/dev/null || true; fi
  cp -n fuzz/seeds/"$name"/* "$corpus"/ 2>/dev/null || true
  if [ -d "$root/limits" ] && [ "$name" != plugin ]; then
    cp -n "$root"/limits/"$name"-*x2=* "$corpus"/ 2>/dev/null || true
  fi
  local log=$root/$name.log
  # Under the i386 emulator a 32-bit program lists no folder (the emulated
  # getdents cannot hand it this file system's 64-bit directory offsets):
  # the fuzzer would start from nothing. It is given its corpus file by
  # file as well, as many files as one argument holds (128 KiB).
  local listed=() files
  if [ "$bits" = 32 ]; then
    files=$(find "$corpus" -type f | awk '{ n += length($0) + 1; if (n > 120000) exit; print }' | paste -sd, -)
    [ -z "$files" ] || listed=(-seed_inputs="$files")
  fi
  # shellcheck disable=SC2086
  if "$fuzzer" $limit -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" "${listed[@]}" \
       -artifact_prefix="$root/findings/$name-" -print_final_stats=1 "$corpus" >"$log" 2>&1; then
    local runs rate
    runs=$(grep -Eo 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -Eo '[0-9]+$' | tail -1)
    rate=$(grep -Eo 'stat::average_exec_per_sec: *[0-9]+' "$log" | grep -Eo '[0-9]+$' | tail -1)
    printf 'fuzz %-16s %10s runs %8s per second  corpus %5s  no finding\n' "$name" "$runs" "$rate" \
      "$(ls "$corpus" | wc -l)"
    if [ -n "$keep" ]; then keep_seeds "$fuzzer" "$name" "$corpus" "$max_len"; fi
  elif [ "$bits" = 32 ] && replays_clean "$fuzzer" "$log"; then
    echo "fuzz $name: stopped by a fault that does not replay: $(grep -m1 '^SUMMARY\|CHECK failed' "$log")"
  else
    echo "fuzz $name: FINDING, see $log"; tail -30 "$log"; return 1
  fi
}

# The grown corpus, minimised to the inputs that add coverage, becomes the
# fuzzer's seeds in the repository; a merge that fails leaves them as they
# were.
keep_seeds() {
  local fuzzer=$1 name=$2 corpus=$3 max_len=$4
  local kept=fuzz/seeds/$name log=${corpus%/corpus/*}/$name-merge.log
  rm -rf "$kept.new"
  mkdir -p "$kept.new"
  if ! "$fuzzer" -merge=1 -max_len="$max_len" "$kept.new" "$corpus" >"$log" 2>&1; then
    echo "fuzz $name: the merge failed, seeds kept as they were; see $log"
    rm -rf "$kept.new"
    return 1
  fi
  # A merge that read no folder (a 32-bit fuzzer under the emulator) keeps
  # nothing: the seeds stay as they were rather than go.
  if [ -z "$(ls -A "$kept.new")" ]; then
    echo "fuzz $name: the merge kept no input, seeds kept as they were"
    rm -rf "$kept.new"
    return 0
  fi
  rm -rf "$kept"
  mv "$kept.new" "$kept"
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
export -f replays_clean run_one keep_seeds
echo "fuzzing the $bits-bit build ($limit per fuzzer)"
ls "$root"/fuzz/fuzz_* | xargs -P 2 -I{} bash -c 'run_one "$@"' _ {} "$limit" "$root" "$max_len" "$bits" "$keep"

#!/usr/bin/env bash
# Runs the shared conformance vectors on the 64-bit or the 32-bit plug-in
# for the given categories. A failing case is accepted only when
# tests/conformance/deviations.txt lists it with the reason we answer
# otherwise; any other failure fails.
#   scripts/conformance.sh FOLDER CATEGORIES [BITS]
set -uo pipefail
folder=$1 categories=$2 bits=${3:-64}
if [ ! -x "$folder/run" ]; then
  echo "conformance: $folder not found, skipped"
  exit 0
fi
log=$(mktemp)
trap 'rm -f "$log"' EXIT
source scripts/wine.sh
wine_width "$bits"
if [ "$bits" = 32 ]; then plugin=(dist/win32/Mornel.spi --bits 32); else plugin=(dist/win64/Mornel.sph); fi
CONFORMANCE_WORK=/tmp/mornel-conformance-$(basename "$PWD")-$bits \
  "$folder/run" "${plugin[@]}" --only "$categories" --show 100000 >"$log" 2>&1
grep -v -E '^[0-9]+ passed, [0-9]+ failed$' "$log" | grep -v '^FAIL ' || true
known=$(grep -v '^#' tests/conformance/deviations.txt | awk 'NF {print $1}')
unexpected=0 deviations=0
while read -r line; do
  name=$(awk '{print $2}' <<<"$line")
  if grep -qxF "$name" <<<"$known"; then
    deviations=$((deviations + 1))
    echo "deviation (see tests/conformance/deviations.txt): $name"
  else
    unexpected=$((unexpected + 1))
    echo "$line"
  fi
done < <(grep '^FAIL ' "$log")
summary=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$log" | tail -1)
if [ -z "$summary" ]; then
  echo "conformance: the checker did not finish"; cat "$log"; exit 1
fi
passed=${summary%% passed*}
[ "$deviations" -gt 0 ] && echo "conformance: $deviations listed deviation(s), not counted"
echo "conformance ($bits-bit): $passed passed, $unexpected failed"
[ "$unexpected" -eq 0 ]

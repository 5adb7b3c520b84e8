#!/bin/sh
# The shell of the test steps' recipes: runs a recipe line as /bin/sh would
# and adds its seconds to the step's total in build/step-times, from which
# `make test` prints how long each step took. STEP names the step.
start=$(date +%s)
/bin/sh "$@"
status=$?
mkdir -p build/step-times
echo $(($(date +%s) - start)) >>"build/step-times/$STEP"
exit $status

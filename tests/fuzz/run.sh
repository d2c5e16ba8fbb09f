#!/usr/bin/env bash
# run.sh FUZZER SEEDS SECONDS: fuzzes for SECONDS from the committed seeds; what it finds stays in a
# temporary folder, so the tree is never touched. Prints the run count; a failing input is shown in hex.
set -uo pipefail
fuzzer=$1 seeds=$2 seconds=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus"
# Font setup that the toolkit keeps until the process ends is not a leak of ours.
echo "leak:libfontconfig" >"$work/lsan"
export LSAN_OPTIONS="suppressions=$work/lsan${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
"$fuzzer" -max_total_time="$seconds" -artifact_prefix="$work/" -print_final_stats=1 "$work/corpus" "$seeds" >"$work/log" 2>&1
rc=$?
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log")
echo "$(basename "$fuzzer"): ${runs:-0} runs in $seconds s"
if [ $rc -ne 0 ]; then
  tail -n 40 "$work/log"
  for a in "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-*; do
    [ -e "$a" ] && { echo "input $(basename "$a"):"; od -An -tx1 "$a" | head -n 20; }
  done
fi
exit $rc

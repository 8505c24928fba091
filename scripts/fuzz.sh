#!/usr/bin/env bash
# Builds the fuzz preset and runs every libFuzzer target for a bounded time,
# starting from its seed corpus in tests/fuzz/corpus/, then prints one line
# per target: runs, coverage at the start and at the end, new inputs, and
# whether it crashed. Exits non-zero when any target crashed.
#
#   scripts/fuzz.sh [SECONDS_PER_TARGET]      (default 60)
#
# New inputs collect in build/fuzz/corpus/<target>/ (the seeds stay as they
# are); a crashing input is written to build/fuzz/artifacts/ and each run's
# full output to build/fuzz/logs/<target>.log.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

seconds=${1:-60}
targets=(utf8_fuzz utf16_fuzz utf16_roundtrip_fuzz paths_fuzz)

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null

mkdir -p build/fuzz/logs build/fuzz/artifacts
printf '%-22s %10s %16s %10s  %s\n' target runs 'cov start->end' 'new units' result
crashed=0
passed=0
for target in "${targets[@]}"; do
  log=build/fuzz/logs/$target.log
  corpus=build/fuzz/corpus/$target
  mkdir -p "$corpus"
  status=0
  build/fuzz/tests/fuzz/"$target" \
    -max_total_time="$seconds" -timeout=25 -print_final_stats=1 \
    -artifact_prefix=build/fuzz/artifacts/"$target"- \
    "$corpus" tests/fuzz/corpus/"$target" >"$log" 2>&1 || status=$?

  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  added=$(sed -n 's/^stat::new_units_added: *//p' "$log")
  cov_start=$(sed -n 's/^#[0-9]*[[:space:]]*INITED cov: \([0-9]*\).*/\1/p' "$log" | head -n 1)
  cov_end=$(sed -n 's/^#[0-9]*[[:space:]]*[A-Z]*[[:space:]]*cov: \([0-9]*\).*/\1/p' "$log" | tail -n 1)
  if [ "$status" -eq 0 ] && grep -q 'DONE' "$log"; then
    result="no crash"
    passed=$((passed + 1))
  else
    result="CRASH (exit $status; see $log)"
    crashed=$((crashed + 1))
    tail -n 30 "$log" >&2
  fi
  printf '%-22s %10s %16s %10s  %s\n' "$target" "${runs:-?}" "${cov_start:-?}->${cov_end:-?}" \
    "${added:-?}" "$result"
done
echo "fuzz: $passed passed, $crashed failed"
[ "$crashed" -eq 0 ]

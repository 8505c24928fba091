#!/usr/bin/env bash
# Installs what is missing, builds every preset and runs every test: the
# native build, the sanitizer build, and the 32-bit Windows build under Wine.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
start=$SECONDS

bash scripts/setup.sh

for preset in linux linux-asan windows-x86; do
  echo "==== $preset"
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  if [ "$preset" = windows-x86 ]; then
    # One Wine prefix for all the unit tests of this run; the end-to-end
    # tests make a fresh one for each scenario themselves.
    . scripts/wine-env.sh
    wine_status=0
    tarn_wine_prefix_new || wine_status=$?
    if [ "$wine_status" -eq 0 ]; then
      export TARN_WINEPREFIX=$WINEPREFIX
      trap tarn_wine_prefix_remove EXIT
    elif [ "$wine_status" -eq 77 ]; then
      echo "NOTE: the tests that run under Wine are reported as skipped on this machine." >&2
    fi
  fi
  ctest --preset "$preset"
done

# A crash of any fuzz target, on its seed corpus or within its short run,
# fails the test command.
echo "==== fuzz"
bash scripts/fuzz.sh 10

echo "==== all presets built and tested in $((SECONDS - start)) s"

#!/usr/bin/env bash
# Installs what is missing, builds every preset and runs every test: the
# native build, the sanitizer build, the 32-bit Windows build under Wine,
# and the 64-bit Windows test build under wine64.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
start=$SECONDS

bash scripts/setup.sh
. scripts/wine-env.sh
trap tarn_wine_prefix_remove EXIT

for preset in linux linux-asan windows-x86 windows-x64; do
  echo "==== $preset"
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  unset TARN_WINEPREFIX TARN_WINEARCH
  case $preset in
    windows-x86) export TARN_WINEARCH=win32 ;;
    windows-x64) export TARN_WINEARCH=win64 ;;
  esac
  if [ -n "${TARN_WINEARCH:-}" ]; then
    # One Wine prefix for all the unit tests of this preset; the end-to-end
    # tests make a fresh one for each scenario themselves.
    wine_status=0
    tarn_wine_prefix_new || wine_status=$?
    if [ "$wine_status" -eq 0 ]; then
      export TARN_WINEPREFIX=$WINEPREFIX
    elif [ "$wine_status" -eq 77 ]; then
      echo "NOTE: the tests that run the 32-bit build under Wine are reported as skipped on this machine;" \
           "the 64-bit test build runs them under wine64." >&2
    else
      exit 1
    fi
  fi
  if [ "$preset" = windows-x64 ]; then
    # This build exists so that the Windows code runs on every machine: a
    # skipped test here is a failure.
    ctest_log=$(mktemp)
    ctest --preset "$preset" | tee "$ctest_log"
    if grep -q '(Skipped)' "$ctest_log"; then
      echo "FAIL: tests of the windows-x64 preset were skipped; they must run under wine64." >&2
      rm -f -- "$ctest_log"
      exit 1
    fi
    rm -f -- "$ctest_log"
  else
    ctest --preset "$preset"
  fi
  tarn_wine_prefix_remove
done

# A crash of any fuzz target, on its seed corpus or within its short run,
# fails the test command.
echo "==== fuzz"
bash scripts/fuzz.sh 10

echo "==== all presets built and tested in $((SECONDS - start)) s"

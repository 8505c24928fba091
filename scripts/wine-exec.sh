#!/usr/bin/env bash
# Runs one Windows program under Wine; CTest's emulator for the cross builds.
# The prefix architecture is TARN_WINEARCH when set, else the one the
# program needs (win32 or win64).
# Uses the prefix named by TARN_WINEPREFIX when it is set (scripts/test.sh
# makes one per test run), else a fresh private prefix removed afterwards.
# Exits with the program's status, or 77 when this machine cannot run it.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
export TARN_WINEARCH=${TARN_WINEARCH:-$(tarn_wine_arch_of "$1")}

if [ -n "${TARN_WINEPREFIX:-}" ]; then
  tarn_wine_environment
  export WINEPREFIX=$TARN_WINEPREFIX
  exec "$TARN_WINE_LOADER" "$@"
fi

tarn_wine_prefix_new || exit $?
trap tarn_wine_prefix_remove EXIT
tarn_wine "$@"
status=$?
wineserver -w
exit "$status"

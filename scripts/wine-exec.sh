#!/usr/bin/env bash
# Runs one Windows program under Wine; CTest's emulator for the cross build.
# Uses the prefix named by TARN_WINEPREFIX when it is set (scripts/test.sh
# makes one per test run), else a fresh private prefix removed afterwards.
# Exits with the program's status, or 77 when this machine cannot run it.
set -u
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

if [ -n "${TARN_WINEPREFIX:-}" ]; then
  tarn_wine_environment
  export WINEPREFIX=$TARN_WINEPREFIX
  exec wine "$@"
fi

tarn_wine_prefix_new || exit $?
trap tarn_wine_prefix_remove EXIT
wine "$@"
status=$?
wineserver -w
exit "$status"

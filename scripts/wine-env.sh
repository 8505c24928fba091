# Shell functions for running the Windows build under Wine; source this file.
#
# Every run uses a private prefix in a fresh temporary folder, made with
# `wineboot -i`; the user's own ~/.wine is never used. Wine prints no debug
# output (WINEDEBUG=-all) and does not offer to install Mono or Gecko.
#
# Status codes: 0 ready, 77 this machine cannot run 32-bit programs (so
# Wine cannot run the 32-bit build here; tests report a skip), 1 failure.

# TARN_WINEARCH picks the prefix architecture; the build is 32-bit, so win32.
tarn_wine_environment() {
  export WINEARCH=${TARN_WINEARCH:-win32} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
}

# Makes a new prefix and exports WINEPREFIX naming it.
tarn_wine_prefix_new() {
  tarn_wine_environment
  WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tarn-wine.XXXXXX") || return 1
  export WINEPREFIX
  local output status
  output=$(wine wineboot -i 2>&1) && status=0 || status=$?
  if [ "$status" -eq 0 ]; then
    wineserver -w
    return 0
  fi
  tarn_wine_prefix_remove
  if grep -q 'Exec format error' <<<"$output"; then
    echo "wine: this machine cannot run 32-bit programs, so the 32-bit Windows build cannot run here: $output" >&2
    return 77
  fi
  echo "wine: 'wineboot -i' failed with status $status: $output" >&2
  return 1
}

# Ends the prefix's Wine processes and removes a prefix made by
# tarn_wine_prefix_new.
tarn_wine_prefix_remove() {
  case "${WINEPREFIX:-}" in
    "${TMPDIR:-/tmp}"/tarn-wine.*)
      wineserver -k >/dev/null 2>&1 || true
      rm -rf -- "$WINEPREFIX"
      ;;
  esac
  unset WINEPREFIX
}

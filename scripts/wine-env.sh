# Shell functions for running the Windows builds under Wine; source this file.
#
# Every run uses a private prefix in a fresh temporary folder, made with
# `wineboot -i`; the user's own ~/.wine is never used. Wine prints no debug
# output (WINEDEBUG=-all) and does not offer to install Mono or Gecko.
#
# TARN_WINEARCH picks the prefix architecture: win32 (the default) for the
# 32-bit build, win64 for the 64-bit test build. tarn_wine_arch_of tells
# which one a program needs.
#
# Status codes: 0 ready, 77 this machine cannot run 32-bit programs (so
# Wine cannot run the 32-bit build here; tests report a skip), 1 failure.

# Exports the Wine settings and sets TARN_WINE_LOADER, the command that
# runs a program in the prefix (use tarn_wine).
tarn_wine_environment() {
  export WINEARCH=${TARN_WINEARCH:-win32} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ "$WINEARCH" = win64 ]; then
    # Debian's `wine` launcher starts the 32-bit loader whenever wine32 is
    # installed, even for a 64-bit prefix, and that loader cannot start on
    # a host without 32-bit support; so call the 64-bit loader itself.
    if [ -x /usr/lib/wine/wine64 ]; then
      TARN_WINE_LOADER=/usr/lib/wine/wine64
    else
      TARN_WINE_LOADER=$(command -v wine64) || TARN_WINE_LOADER=wine64
    fi
    export WINELOADER=$TARN_WINE_LOADER
  else
    TARN_WINE_LOADER=wine
    unset WINELOADER
  fi
}

# tarn_wine PROGRAM ARGS...: runs a Windows program in $WINEPREFIX.
tarn_wine() {
  "$TARN_WINE_LOADER" "$@"
}

# tarn_wine_arch_of FILE: prints win64 when FILE is an x86-64 Windows
# program (PE machine type 0x8664), else win32.
tarn_wine_arch_of() {
  local pe_offset machine
  pe_offset=$(od -An -tu4 --endian=little -j60 -N4 -- "$1" 2>/dev/null | tr -d ' ')
  machine=$(od -An -tx2 --endian=little -j$((${pe_offset:-0} + 4)) -N2 -- "$1" 2>/dev/null | tr -d ' ')
  if [ "$machine" = 8664 ]; then echo win64; else echo win32; fi
}

# Makes a new prefix and exports WINEPREFIX naming it.
tarn_wine_prefix_new() {
  tarn_wine_environment
  WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/tarn-wine.XXXXXX") || return 1
  export WINEPREFIX
  local output status
  output=$(tarn_wine wineboot -i 2>&1) && status=0 || status=$?
  if [ "$status" -eq 0 ]; then
    wineserver -w
    return 0
  fi
  tarn_wine_prefix_remove
  # Only the 32-bit build may be skipped: its loader cannot start on a host
  # without 32-bit support. A 64-bit prefix that cannot be made is a failure.
  if [ "$WINEARCH" = win32 ] && grep -q 'Exec format error' <<<"$output"; then
    echo "wine: this machine cannot run 32-bit programs, so the 32-bit Windows build cannot run here: $output" >&2
    return 77
  fi
  echo "wine: '$TARN_WINE_LOADER wineboot -i' ($WINEARCH) failed with status $status: $output" >&2
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

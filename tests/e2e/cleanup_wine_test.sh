#!/usr/bin/env bash
# End-to-end runs of the Windows tool under Wine, each scenario in a fresh
# prefix: keys made with `wine reg add`, the settings file "params.dat"
# made in %LOCALAPPDATA%\com.quillmoor.tarn (read-only, missing, an empty or
# a full folder), the tool run with or without arguments, the keys checked
# with `wine reg query` and the order of the removals read from Wine's own
# trace of its file and registry calls. Every run must exit with 0 and
# print nothing. The prefixes are 64-bit for an x86-64 tool (or as
# TARN_WINEARCH says). Exits with 77 (a skip) when the tool is 32-bit and
# this machine cannot run 32-bit programs.
#
# Usage: cleanup_wine_test.sh TOOL.exe
set -uo pipefail
tool=$(realpath "$1")
. "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-env.sh"
export TARN_WINEARCH=${TARN_WINEARCH:-$(tarn_wine_arch_of "$tool")}
failures=0
scenario=""

fail() {
  echo "FAIL [$scenario]: $*" >&2
  failures=$((failures + 1))
}

keys=('Software\Belmarch\1.0\Preferences' 'Software\Orvik\1.0\Preferences' 'Software\Quillmoor\2.0\Preferences')

# Wine's reg has been seen to fail now and then while setting up a key;
# the setting up is tried again, and each failure is shown.
reg_add() {
  local attempt output
  for attempt in 1 2 3; do
    output=$(tarn_wine reg add "HKCR\\$1" /v "$2" /t REG_SZ /d "$3" /f 2>&1) && return 0
    echo "reg add $1 failed (attempt $attempt): $output" >&2
    wineserver -w
  done
  fail "reg add $1 failed"
}
reg_exists() { tarn_wine reg query "HKCR\\$1" >/dev/null 2>&1; }

# The three keys with a value each, and beside them a sibling key and a
# value of each parent key, which must stay.
make_keys() {
  local key
  for key in "${keys[@]}"; do
    reg_add "$key" Volume 7
    reg_add "${key%\\*}\\Other" Kept 1
    reg_add "${key%\\*}" Installed 1
  done
}

# expect_keys GONE...: the keys named by index in GONE are deleted, the
# others are there; siblings and parents stay.
expect_keys() {
  local i
  for i in 0 1 2; do
    if [[ " $* " == *" $i "* ]]; then
      ! reg_exists "${keys[$i]}" || fail "still there: ${keys[$i]}"
    else
      reg_exists "${keys[$i]}" || fail "missing: ${keys[$i]}"
    fi
    tarn_wine reg query "HKCR\\${keys[$i]%\\*}" /v Installed >/dev/null 2>&1 || fail "parent value gone: ${keys[$i]%\\*}"
    reg_exists "${keys[$i]%\\*}\\Other" || fail "sibling gone: ${keys[$i]%\\*}\\Other"
  done
}

# run_tool ARGS...: runs the tool in the current prefix; checks status and output.
run_tool() {
  local out err status
  out=$(mktemp) err=$(mktemp)
  tarn_wine "$tool" "$@" >"$out" 2>"$err"
  status=$?
  wineserver -w
  [ "$status" -eq 0 ] || fail "exit status $status"
  [ ! -s "$out" ] || fail "wrote to stdout: $(head -c 200 "$out")"
  [ ! -s "$err" ] || fail "wrote to stderr: $(head -c 200 "$err")"
  rm -f -- "$out" "$err"
}

# Runs one scenario function in a fresh prefix.
in_fresh_prefix() {
  scenario=$1
  local status=0
  tarn_wine_prefix_new || status=$?
  [ "$status" -eq 77 ] && exit 77
  if [ "$status" -ne 0 ]; then
    fail "no Wine prefix"
    return
  fi
  "$2"
  tarn_wine_prefix_remove
}

three_keys() {
  make_keys
  run_tool
  expect_keys 0 1 2
}

arguments() {
  make_keys
  run_tool --help /? -x "two words" ""
  expect_keys 0 1 2
}

subkey() {
  make_keys
  reg_add "${keys[1]}\\Sub" Value 1
  run_tool
  expect_keys 0 2
  tarn_wine reg query "HKCR\\${keys[1]}" /v Volume >/dev/null 2>&1 || fail "a value of the kept key went"
}

missing_keys() {
  run_tool
  run_tool extra argument
}

# The Unix path of the prefix's local application-data folder.
local_app_data() {
  local windows_path
  windows_path=$(tarn_wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')
  tarn_wine winepath -u "$windows_path" 2>/dev/null
}

# make_settings KIND: "params.dat" in the settings folder as a read-only
# file, an empty folder, a folder with an entry, or nothing.
make_settings() {
  rm -rf -- "$settings"
  mkdir -p "$settings"
  case $1 in
    file) printf 'volume=7\r\n' >"$settings/params.dat"; chmod a-w "$settings/params.dat" ;;
    empty-folder) mkdir "$settings/params.dat" ;;
    full-folder) mkdir "$settings/params.dat"; printf x >"$settings/params.dat/entry" ;;
    none) ;;
  esac
}

# Runs the tool once more with Wine's traces of file and registry calls and
# checks that params.dat is deleted before the three keys, in their order.
expect_removal_order() {
  local trace
  trace=$(WINEDEBUG=trace+file,trace+reg tarn_wine "$tool" 2>&1 >/dev/null)
  wineserver -w
  local order
  order=$(grep -o -i -E 'params\.dat|Software\\\\(Belmarch|Orvik|Quillmoor)\\\\[0-9.]+\\\\Preferences' <<<"$trace" |
          sed -E 's/\\\\/\\/g' | uniq)
  local expected
  expected=$(printf '%s\n' params.dat "${keys[@]}")
  [ "$order" = "$expected" ] || fail "removals in this order: $(tr '\n' ' ' <<<"$order")"
}

settings_file() {
  settings=$(local_app_data)/com.quillmoor.tarn
  [ -d "${settings%/*}" ] || { fail "no local application-data folder: ${settings%/*}"; return; }

  make_keys
  make_settings file
  run_tool
  [ ! -e "$settings/params.dat" ] || fail "the read-only params.dat is still there"
  [ -d "$settings" ] || fail "the settings folder went"
  expect_keys 0 1 2

  for kind in empty-folder full-folder none; do
    make_keys
    make_settings "$kind"
    run_tool
    case $kind in
      empty-folder) [ ! -e "$settings/params.dat" ] || fail "the empty params.dat folder is still there" ;;
      full-folder) [ -e "$settings/params.dat/entry" ] || fail "the full params.dat folder lost its entry" ;;
      none) [ -z "$(ls -A "$settings")" ] || fail "the settings folder changed" ;;
    esac
    [ -d "$settings" ] || fail "the settings folder went ($kind)"
    expect_keys 0 1 2
  done

  make_keys
  make_settings file
  expect_removal_order
}

in_fresh_prefix "three keys" three_keys
in_fresh_prefix "the settings file and the keys" settings_file
in_fresh_prefix "command-line arguments change nothing" arguments
in_fresh_prefix "a key with a subkey stays" subkey
in_fresh_prefix "missing keys" missing_keys

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "all scenarios passed"

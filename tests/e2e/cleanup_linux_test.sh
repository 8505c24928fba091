#!/usr/bin/env bash
# End-to-end runs of the native tool in a clean environment with a
# temporary home: the local application-data folder it makes, the settings
# file "params.dat" that it removes (read-only, missing, an empty or a full
# folder, a link to something outside), the three "Preferences" keys of the
# directory-backed classes root and the order in which they go, a key with a
# subkey, missing keys, command-line arguments, no HOME. Every run must exit
# with 0 and print nothing.
#
# Usage: cleanup_linux_test.sh TOOL
# With TARN_E2E_VALGRIND=1 one more run goes under valgrind's memcheck and
# must show no error and no leak.
set -uo pipefail
tool=$(realpath "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/tarn-e2e.XXXXXX")
trap 'rm -rf -- "$work"' EXIT
failures=0
scenario=""

fail() {
  echo "FAIL [$scenario]: $*" >&2
  failures=$((failures + 1))
}

expect_present() { [ -e "$1" ] || fail "missing: ${1#"$work"/}"; }
expect_absent() { [ ! -e "$1" ] && [ ! -L "$1" ] || fail "still there: ${1#"$work"/}"; }

keys=("Software/Belmarch/1.0/Preferences" "Software/Orvik/1.0/Preferences" "Software/Quillmoor/2.0/Preferences")

# make_store STORE: the three keys with two values each, and beside them a
# sibling key and a value of each parent key, which must stay.
make_store() {
  local store=$1/registry/HKEY_CLASSES_ROOT key
  for key in "${keys[@]}"; do
    mkdir -p "$store/$key" "$store/${key%/*}/Other"
    printf 7 >"$store/$key/Volume"
    printf 'C:\\Games' >"$store/$key/Folder"
    printf 1 >"$store/${key%/*}/Other/Kept"
    printf 1 >"$store/${key%/*}/Installed"
  done
}

# expect_store STORE GONE...: the keys named by index in GONE are deleted,
# the others are there with their values; siblings and parents stay.
expect_store() {
  local store=$1/registry/HKEY_CLASSES_ROOT i
  shift
  for i in 0 1 2; do
    if [[ " $* " == *" $i "* ]]; then
      expect_absent "$store/${keys[$i]}"
    else
      expect_present "$store/${keys[$i]}/Volume"
    fi
    expect_present "$store/${keys[$i]%/*}/Installed"
    expect_present "$store/${keys[$i]%/*}/Other/Kept"
  done
}

# run_tool DIR [VAR=value...] [-- ARGS...]: runs the tool from the empty
# folder DIR/cwd with only the given variables set, under strace so that
# the removal of key folders is recorded in DIR/trace. Checks status and
# output, and that nothing was made in the current folder.
run_tool() {
  local dir=$1 vars=() status
  shift
  # Sanitizer settings of the test run reach the tool.
  [ -n "${ASAN_OPTIONS:-}" ] && vars+=("ASAN_OPTIONS=$ASAN_OPTIONS")
  while [ $# -gt 0 ] && [ "$1" != -- ]; do vars+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  mkdir -p "$dir/cwd"
  (cd "$dir/cwd" && strace -f -qq -y -e trace=unlink,unlinkat,rmdir -o "$dir/trace" \
     env -i "${vars[@]}" "$tool" "$@" >"$dir/stdout" 2>"$dir/stderr")
  status=$?
  [ "$status" -eq 0 ] || fail "exit status $status"
  [ ! -s "$dir/stdout" ] || fail "wrote to stdout: $(head -c 200 "$dir/stdout")"
  [ ! -s "$dir/stderr" ] || fail "wrote to stderr: $(head -c 200 "$dir/stderr")"
  [ -z "$(ls -A "$dir/cwd")" ] || fail "made something in the current folder: $(ls -A "$dir/cwd")"
}

# The folders of the keys whose folders were removed, in removal order.
removed_keys() {
  sed -n 's/^[0-9]* *unlinkat([0-9]*<\(.*\)>, "\([^"]*\)", AT_REMOVEDIR) = 0$/\1\/\2/p' "$1/trace"
}

scenario="three keys, in order"
dir=$work/ordered
make_store "$dir/home/.config"
run_tool "$dir" HOME="$dir/home"
expect_store "$dir/home/.config" 0 1 2
store=$(realpath "$dir/home/.config/registry/HKEY_CLASSES_ROOT")
expected=$(printf "$store/%s\n" "${keys[@]}")
[ "$(removed_keys "$dir")" = "$expected" ] || fail "keys removed in this order: $(removed_keys "$dir")"
for made in .local .local/share; do
  [ "$(stat -c %a "$dir/home/$made")" = 700 ] || fail "$made not made with mode 0700"
done

# make_settings HOME KIND: the settings folder in HOME's local
# application-data folder, with "params.dat" made as KIND: a read-only
# file, an empty folder, a folder with an entry, or nothing.
make_settings() {
  local settings=$1/.local/share/com.quillmoor.tarn
  mkdir -p "$settings"
  case $2 in
    file) printf 'volume=7\n' >"$settings/params.dat"; chmod 0444 "$settings/params.dat" ;;
    empty-folder) mkdir "$settings/params.dat" ;;
    full-folder) mkdir "$settings/params.dat"; printf x >"$settings/params.dat/entry" ;;
    none) ;;
  esac
}

# The position in the trace of the first removal whose line matches $2.
trace_line() { grep -n -m1 -e "$2" "$1/trace" | cut -d: -f1; }

for kind in file empty-folder; do
  scenario="read-only params.dat as $kind is removed, then the keys"
  dir=$work/settings-$kind
  make_store "$dir/home/.config"
  make_settings "$dir/home" "$kind"
  run_tool "$dir" HOME="$dir/home"
  settings=$dir/home/.local/share/com.quillmoor.tarn
  expect_absent "$settings/params.dat"
  expect_present "$settings"
  expect_store "$dir/home/.config" 0 1 2
  file_line=$(trace_line "$dir" 'params.dat')
  key_line=$(trace_line "$dir" 'AT_REMOVEDIR')
  [ -n "$file_line" ] && [ -n "$key_line" ] && [ "$file_line" -lt "$key_line" ] ||
    fail "params.dat was not removed before the keys"
done

scenario="params.dat as a folder with entries stays"
dir=$work/settings-full
make_store "$dir/home/.config"
make_settings "$dir/home" full-folder
run_tool "$dir" HOME="$dir/home"
expect_present "$dir/home/.local/share/com.quillmoor.tarn/params.dat/entry"
expect_store "$dir/home/.config" 0 1 2

scenario="no params.dat changes nothing"
dir=$work/settings-none
make_store "$dir/home/.config"
make_settings "$dir/home" none
run_tool "$dir" HOME="$dir/home"
[ -z "$(ls -A "$dir/home/.local/share/com.quillmoor.tarn")" ] || fail "the settings folder changed"
expect_store "$dir/home/.config" 0 1 2

scenario="params.dat as a link: the link goes, its target is untouched"
dir=$work/settings-link
make_store "$dir/home/.config"
make_settings "$dir/home" none
mkdir -p "$dir/outside"
printf secret >"$dir/outside/target"
chmod 0600 "$dir/outside/target"
ln -s "$dir/outside/target" "$dir/home/.local/share/com.quillmoor.tarn/params.dat"
run_tool "$dir" HOME="$dir/home"
expect_absent "$dir/home/.local/share/com.quillmoor.tarn/params.dat"
[ "$(stat -c %a "$dir/outside/target")" = 600 ] || fail "the link's target changed its mode"
[ "$(cat "$dir/outside/target")" = secret ] || fail "the link's target changed its content"
expect_store "$dir/home/.config" 0 1 2

scenario="command-line arguments change nothing"
dir=$work/arguments
make_store "$dir/home/.config"
run_tool "$dir" HOME="$dir/home" -- --help /? -x "two words" ""
expect_store "$dir/home/.config" 0 1 2
[ "$(cd "$dir/home" && find . | sort)" = "$(cd "$work/ordered/home" && find . | sort)" ] ||
  fail "the home differs from the run without arguments"

scenario="a key with a subkey stays"
dir=$work/subkey
make_store "$dir/home/.config"
mkdir "$dir/home/.config/registry/HKEY_CLASSES_ROOT/${keys[1]}/Sub"
run_tool "$dir" HOME="$dir/home"
expect_store "$dir/home/.config" 0 2
expect_present "$dir/home/.config/registry/HKEY_CLASSES_ROOT/${keys[1]}/Folder"

scenario="missing keys"
dir=$work/missing
mkdir -p "$dir/home"
run_tool "$dir" HOME="$dir/home"
mkdir -p "$dir/home/.config/registry/HKEY_CLASSES_ROOT/Software/Belmarch"
run_tool "$dir" HOME="$dir/home"

scenario="XDG folders"
dir=$work/xdg
make_store "$dir/config"
make_store "$dir/home/.config"
run_tool "$dir" HOME="$dir/home" XDG_CONFIG_HOME="$dir/config" XDG_DATA_HOME="$dir/data/deep"
expect_store "$dir/config" 0 1 2
expect_store "$dir/home/.config"
expect_present "$dir/data/deep"
expect_absent "$dir/home/.local"

scenario="no HOME"
dir=$work/nohome
make_store "$dir/config"
run_tool "$dir" XDG_CONFIG_HOME="$dir/config"
expect_store "$dir/config" 0 1 2

if [ "${TARN_E2E_VALGRIND:-0}" = 1 ]; then
  scenario="memcheck: no error, no leak"
  dir=$work/memcheck
  make_store "$dir/home/.config"
  make_settings "$dir/home" file
  mkdir -p "$dir/cwd"
  (cd "$dir/cwd" && env -i HOME="$dir/home" valgrind -q --error-exitcode=99 --leak-check=full \
     --show-leak-kinds=all --errors-for-leak-kinds=all "$tool" >"$dir/stdout" 2>"$dir/stderr")
  status=$?
  [ "$status" -eq 0 ] || fail "exit status $status under valgrind: $(head -c 2000 "$dir/stderr")"
  [ ! -s "$dir/stderr" ] || fail "valgrind reported: $(head -c 2000 "$dir/stderr")"
  expect_absent "$dir/home/.local/share/com.quillmoor.tarn/params.dat"
  expect_store "$dir/home/.config" 0 1 2
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "all scenarios passed"

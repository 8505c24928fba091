#!/usr/bin/env bash
# Installs with apt-get what the build and the tests need and is still
# missing. Run it again and it installs nothing. Uses sudo when not root.
set -euo pipefail

packages=(
  cmake ninja-build g++ googletest       # native build and unit tests
  python3 strace valgrind                # end-to-end and resource tests
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686   # 32-bit Windows cross build
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64   # 64-bit Windows test build
  wine wine32:i386 wine64                # running the Windows builds
  clang libclang-rt-14-dev               # libFuzzer targets (scripts/fuzz.sh)
  libbenchmark-dev libutfcpp-dev libicu-dev   # benchmarks and their peers (scripts/bench.sh)
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

installed() {
  [ "$(dpkg-query -W -f='${db:Status-Abbrev}' "$1" 2>/dev/null)" = "ii " ]
}

missing=()
for package in "${packages[@]}"; do
  installed "$package" || missing+=("$package")
done
if [ "${#missing[@]}" -eq 0 ]; then
  echo "setup: all ${#packages[@]} packages are installed; nothing to do"
  exit 0
fi

# wine32 is an i386 package.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
fi
echo "setup: installing ${missing[*]}"
as_root apt-get update
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"

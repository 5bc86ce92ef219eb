#!/usr/bin/env bash
# Installs the build into a scratch prefix and builds a small program
# against the installed copy twice, through the CMake package and through
# pkg-config; both must analyse the bundled example.
#   tests/library-install.sh BUILD_DIR SOURCE_DIR
# A library built with sanitizers needs their runtimes in every program that
# links it, so such a build is skipped (status 77).
set -eu
build=$1
source=$2
if grep -q '^MIRASK_SANITIZE:BOOL=ON' "$build/CMakeCache.txt"; then
  echo "skipped: the sanitizer build's library is for its own tests"; exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" > /dev/null
test -f "$work/prefix/include/mirask.hpp"
cmake -S "$source/examples/library" -B "$work/hello" -G Ninja \
      -DCMAKE_PREFIX_PATH="$work/prefix" > /dev/null
cmake --build "$work/hello" > /dev/null
printf 'Der Hund bellt.\nDer Hund bellen.\n' | "$work/hello/hello_mirask" "$source/examples/mirask.cfg" \
  > "$work/cmake.out"
expected='analysed 1 <SATZ(NPHR(DETA NOMN)VPHR(VERB(VSTM VEND)))>
no_analysis 0 '
[ "$(cat "$work/cmake.out")" = "$expected" ] || { echo "--- through the CMake package:"; cat "$work/cmake.out"; exit 1; }
if command -v pkg-config > /dev/null; then
  export PKG_CONFIG_PATH="$work/prefix/lib/pkgconfig"
  # shellcheck disable=SC2046
  c++ -o "$work/hello-pc" "$source/examples/library/hello_mirask.cpp" $(pkg-config --cflags --libs mirask)
  printf 'Der Hund bellt.\nDer Hund bellen.\n' | "$work/hello-pc" "$source/examples/mirask.cfg" > "$work/pc.out"
  cmp "$work/cmake.out" "$work/pc.out" || { echo "--- through pkg-config:"; cat "$work/pc.out"; exit 1; }
fi
echo "a program built against the installed library analyses the example"

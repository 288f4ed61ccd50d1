#!/usr/bin/env bash
# Cross-builds the libraries Debian has no MinGW build of into build/deps/win,
# from Debian's source packages, once. A stamp per library keeps later runs quick.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
deps=$top/build/deps
prefix=$deps/win
toolchain=$top/cmake/mingw-w64.cmake
mkdir -p "$deps/src" "$prefix"

fetch_source() { # package -> prints the unpacked folder
  local pkg=$1
  local dir
  dir=$(find "$deps/src" -maxdepth 1 -type d -name "$pkg-*" | head -n 1)
  if [ -z "$dir" ]; then
    (cd "$deps/src" && apt-get source -qq "$pkg" >/dev/null 2>&1)
    dir=$(find "$deps/src" -maxdepth 1 -type d -name "$pkg-*" | head -n 1)
  fi
  [ -n "$dir" ] || { echo "build-win-deps: could not fetch the source of $pkg" >&2; exit 1; }
  echo "$dir"
}

cmake_cross() { # source build-dir extra-args...
  local src=$1 bld=$2; shift 2
  cmake -S "$src" -B "$bld" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_POSITION_INDEPENDENT_CODE=OFF "$@" >/dev/null
  cmake --build "$bld" >/dev/null
  cmake --install "$bld" >/dev/null
}

if [ ! -f "$prefix/.jpeg" ]; then
  echo "build-win-deps: libjpeg-turbo"
  src=$(fetch_source libjpeg-turbo)
  cmake_cross "$src" "$deps/build-jpeg" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
    -DWITH_TURBOJPEG=OFF -DWITH_JAVA=OFF
  touch "$prefix/.jpeg"
fi

if [ ! -f "$prefix/.lzma" ]; then
  echo "build-win-deps: liblzma"
  src=$(fetch_source xz-utils)
  cmake_cross "$src" "$deps/build-lzma" -DBUILD_SHARED_LIBS=OFF -DENABLE_NLS=OFF \
    -DCREATE_XZ_SYMLINKS=OFF -DCREATE_LZMA_SYMLINKS=OFF -DBUILD_TESTING=OFF
  touch "$prefix/.lzma"
fi

if [ ! -f "$prefix/.gtest" ]; then
  echo "build-win-deps: googletest"
  cmake_cross /usr/src/googletest "$deps/build-gtest" -DBUILD_GMOCK=ON -Dgtest_disable_pthreads=OFF
  touch "$prefix/.gtest"
fi

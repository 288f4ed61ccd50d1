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
    # The newest version first; a mirror that lacks its files (a security
    # update it does not carry) gets the next one it lists.
    local v
    for v in "" $(apt-cache showsrc "$pkg" 2>/dev/null | awk '/^Version:/{print $2}' | sort -rV); do
      (cd "$deps/src" && apt-get source -qq "$pkg${v:+=$v}" >/dev/null 2>&1) && break
    done
    dir=$(find "$deps/src" -maxdepth 1 -type d -name "$pkg-*" | head -n 1)
  fi
  [ -n "$dir" ] || { echo "build-win-deps: could not fetch the source of $pkg" >&2; exit 1; }
  echo "$dir"
}

# The mirror serves a source package's tarballs but not the upstream signature
# (.asc) that some .dsc files list, so apt-get source fails after downloading.
# Such a package is checked against the SHA-256 sums of its .dsc instead and
# its upstream tarball unpacked.
fetch_checked_source() { # package -> prints the unpacked folder
  local pkg=$1
  local dir
  dir=$(find "$deps/src" -maxdepth 1 -type d -name "$pkg-*" | head -n 1)
  if [ -z "$dir" ]; then
    (cd "$deps/src" && apt-get source -qq --download-only "$pkg" >/dev/null 2>&1) || true
    local dsc
    dsc=$(find "$deps/src" -maxdepth 1 -name "${pkg}_*.dsc" | head -n 1)
    [ -n "$dsc" ] || { echo "build-win-deps: could not fetch the source of $pkg" >&2; exit 1; }
    local orig
    orig=$(find "$deps/src" -maxdepth 1 -name "${pkg}_*.orig.tar.*" ! -name '*.asc' | head -n 1)
    [ -n "$orig" ] || { echo "build-win-deps: no upstream tarball of $pkg" >&2; exit 1; }
    local want
    want=$(awk -v f="$(basename "$orig")" '/^Checksums-Sha256:/{on=1;next} /^[^ ]/{on=0} on && $3==f {print $1}' "$dsc")
    local have
    have=$(sha256sum "$orig" | cut -d' ' -f1)
    if [ -z "$want" ] || [ "$want" != "$have" ]; then
      echo "build-win-deps: $(basename "$orig") does not match the checksum in $(basename "$dsc")" >&2
      exit 1
    fi
    tar -xf "$orig" -C "$deps/src"
    dir=$(find "$deps/src" -maxdepth 1 -type d -name "$pkg-*" | head -n 1)
  fi
  [ -n "$dir" ] || { echo "build-win-deps: could not unpack the source of $pkg" >&2; exit 1; }
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

if [ ! -f "$prefix/.mpg123" ]; then
  echo "build-win-deps: libmpg123"
  src=$(fetch_checked_source mpg123)
  rm -rf "$deps/build-mpg123" && mkdir -p "$deps/build-mpg123"
  (cd "$deps/build-mpg123" && "$src/configure" --host=x86_64-w64-mingw32 --prefix="$prefix" \
    --enable-static --disable-shared --disable-components --enable-libmpg123 \
    --with-cpu=x86-64 --disable-debug >/dev/null &&
    make -j"$(nproc)" >/dev/null && make install >/dev/null)
  touch "$prefix/.mpg123"
fi

if [ ! -f "$prefix/.png" ]; then
  echo "build-win-deps: libpng"
  src=$(fetch_source libpng1.6)
  cmake_cross "$src" "$deps/build-png" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON \
    -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include
  touch "$prefix/.png"
fi

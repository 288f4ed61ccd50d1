#!/usr/bin/env bash
# Configures and builds one configuration: native (sanitizers, fuzz targets) or win (the product).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=${NIMBRE_JOBS:-$(nproc)}
case "${1:-win}" in
  native)
    cmake -S "$top" -B "$top/build/native" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_BUILD_TYPE=Debug -DNIMBRE_SANITIZE=ON -DNIMBRE_FUZZ=ON -DNIMBRE_WERROR=${NIMBRE_WERROR:-ON} >/dev/null
    cmake --build "$top/build/native" -j "$jobs"
    ;;
  win)
    # Libraries added to the recipe since this tree's build/deps was made are built first.
    bash "$top/third_party/build-win-deps.sh"
    cmake -S "$top" -B "$top/build/win" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DNIMBRE_WERROR=${NIMBRE_WERROR:-ON} -DNIMBRE_DIST_DIR="$top/build/dist" >/dev/null
    cmake --build "$top/build/win" -j "$jobs"
    ;;
  *) echo "usage: build.sh native|win" >&2; exit 2 ;;
esac

#!/usr/bin/env bash
# Installs and builds everything the project needs; quick when all is there.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

packages=(
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
  wine wine64 xvfb xauth x11-utils xdotool imagemagick nasm libz-mingw-w64-dev xserver-xephyr openbox
  zlib1g-dev libjpeg62-turbo-dev libmpg123-dev libpng-dev libcairo2-dev liblzma-dev
  clang libclang-rt-14-dev googletest libgtest-dev libgmock-dev cmake ninja-build dpkg-dev
  icoutils zip unzip python3-pil procps fonts-dejavu-core ffmpeg valgrind
  libfreetype-dev libfontconfig-dev fonts-noto-core fonts-noto-mono
)

sudo_() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  sudo_ apt-get update -qq
  sudo_ apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Source packages come from the same suites as the binary ones.
src_list=/etc/apt/sources.list.d/nimbre-src.sources
if [ ! -f "$src_list" ]; then
  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | sudo_ tee "$src_list" >/dev/null
  sudo_ apt-get update -qq
fi

bash "$top/third_party/build-win-deps.sh"
